#include "TSkinData.h"

#include "SkinImage.h"
#include "SkinManagerApi.h"
#include "SkinResources.h"
#include "TQuickIni.h"
#include "TSkinReader.h"
#include "TSkinStore.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QCoreApplication>
#include <QGuiApplication>

namespace {

std::function<std::unique_ptr<SkinManagerApi>()> &managerFactory()
{
    static std::function<std::unique_ptr<SkinManagerApi>()> factory;
    return factory;
}

std::unique_ptr<SkinManagerApi> &managerInstance()
{
    static std::unique_ptr<SkinManagerApi> manager;
    return manager;
}

constexpr int ActionDelayMs = 250;

} // namespace

SkinManagerApi *SkinManager()
{
    return managerInstance().get();
}

SkinManagerApi *CreateSkinManager()
{
    if (!managerInstance() && managerFactory())
        managerInstance() = managerFactory()();
    return managerInstance().get();
}

void SetSkinManagerFactory(std::function<std::unique_ptr<SkinManagerApi>()> factory)
{
    managerFactory() = std::move(factory);
}

void ResetSkinManager()
{
    managerInstance().reset();
}

TSkinData::TSkinData()
{
    using enum TSkinControlType;
    for (int k = 0; k <= static_cast<int>(xcFastReport); ++k)
        SkinControls.include(static_cast<TSkinControlType>(k));
    SkinControls.exclude(xcMenuItem);
    SkinControls.exclude(xcFastReport);
    MenuGlyphs = SkinMenuGlyphs();
    resetModel();
}

TSkinData::~TSkinData()
{
    if (SkinManagerApi *m = SkinManager())
        m->RemoveSkinData(this);
}

void TSkinData::LoadFromFile(const QString &path)
{
    empty_ = true;
    SkinFile = path;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        lastError_ = QStringLiteral("皮肤文件不存在或无法读取：%1").arg(path);
        return;
    }
    SkinStream = file.readAll();
    LoadSkin();
    UpdateSkin();
}

void TSkinData::LoadFromStream(const QByteArray &package)
{
    empty_ = true;
    SkinStream = package;
    LoadSkin();
    if (SkinFormtype == TSkinFormType::sfMainform)
        UpdateSkin();
}

void TSkinData::LoadFromCollection(const TSkinStore &store, int index)
{
    if (index >= 0 && index < store.Store.Count())
        LoadFromStream(store.Store.Item(index).DataStream);
}

bool TSkinData::LoadSkin()
{
    empty_ = true;
    TSkinReader reader;
    reader.setMessageHandler(messageHandler_);
    if (!reader.Loadfromstream(SkinStream)) {
        lastError_ = reader.errorText();
        return false;
    }
    QByteArray iniBytes;
    reader.readIni(QStringLiteral(".ini"), iniBytes);
    TQuickIni ini;
    ini.LoadFromStream(iniBytes);
    reader_ = &reader;
    LoadFromIni(ini);
    reader_ = nullptr;
    lastError_.clear();
    return true;
}

void TSkinData::Loaded()
{
    using enum TSkinControlType;
    SkinManagerApi *m = CreateSkinManager();
    if (m)
        m->AddSkinData(this);
    CreateCaptionFont();
    if (SkinFormtype == TSkinFormType::sfMainform) {
        if (m)
            m->InstallHook();
        if (active_ && empty_)
            active_ = false;
        else if (active_ && m)
            m->SetAction(1, ActionDelayMs);
        if (SkinControls.contains(xcMainMenu))
            SkinControls.exclude(xcMenuItem);
        else
            SkinControls.exclude(xcSystemMenu);
    } else if (m) {
        m->SetActiveFlag(true);
        m->SetSwitchedOn(true);
    }
}

void TSkinData::SetActive(bool value)
{
    if (value == active_)
        return;
    active_ = value;
    SkinManagerApi *m = CreateSkinManager();
    if (!m)
        return;
    switch (SkinFormtype) {
    case TSkinFormType::sfMainform:
        if (value && empty_)
            return;
        m->SetCurrentData(this);
        m->SetAction(value ? 1 : 2, ActionDelayMs);
        if (value)
            m->SetSwitchedOn(true);
        break;
    case TSkinFormType::sfOnlyThisForm:
        m->SetCurrentData(this);
        if (!value)
            m->SetAction(2, ActionDelayMs);
        else if (!empty_)
            m->SetAction(1, ActionDelayMs);
        break;
    case TSkinFormType::sfDialog:
        break;
    }
}

void TSkinData::UpdateSkin()
{
    if (!SkinManager())
        Loaded();
    SkinManagerApi *m = SkinManager();
    if (!m)
        return;
    m->SetCurrentData(this);
    m->DeleteSysbtn();
    if (m->SwitchedOn())
        m->SetAction(3, ActionDelayMs);
}

bool TSkinData::GetPrecolor(int index, quint32 &colour) const
{
    if (index < 0 || index >= static_cast<int>(PreColors.size()))
        return false;
    colour = PreColors[index];
    return true;
}

quint32 TSkinData::GetCaptionColor() const
{
    const QImage &img = Top.Map;
    if (img.isNull())
        return ResolveColor(SysColorBit | COLOR_ACTIVECAPTION);
    const QRgb c = img.pixel(img.width() / 3, img.height() / 3);
    return RGBToColor(qRed(c), qGreen(c), qBlue(c));
}

void TSkinData::CreateCaptionFont()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        CaptionFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
}

quint32 TSkinData::strcolor(const QString &text, quint32 defaultColour)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return defaultColour;
    // Digit runs ended by another character are the numbers; a run at the very end counts only as the third
    // after exactly two. Runs saturate so that long ones cannot overflow; each channel is kept to 0..255.
    std::vector<int> numbers;
    int run = -1;
    for (QChar c : t) {
        if (c >= u'0' && c <= u'9') {
            run = std::min((run < 0 ? 0 : run) * 10 + (c.unicode() - u'0'), 1000);
        } else if (run >= 0) {
            numbers.push_back(run);
            run = -1;
        }
    }
    if (numbers.size() == 2 && run >= 0)
        numbers.push_back(run);
    numbers.resize(3, 0);
    return RGBToColor(numbers[0], numbers[1], numbers[2]);
}
