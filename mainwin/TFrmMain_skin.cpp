// The skin of the whole program: the main window owns the one skin model; the skin manager skins every
// top-level window (the main window, each dialog, message boxes, menus) while it is switched on.
#include "TFrmMain.h"

#include "AppPath.h"
#include "IniFile.h"
#include "Prompts.h"
#include "SkinManagerApi.h"
#include "TSkinData.h"
#include "TSkinManage.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>

namespace {

const QString kWindowSection = QStringLiteral("window");

} // namespace

QString TFrmMain::skinFile(const QString &name)
{
    // A skin is a file of the skins folder named by its plain name: a stored name that carries a folder
    // (qrinit.ini can say anything) would reach files elsewhere, so it names no skin.
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(u'\0')))
        return {};
    return AppPath() + QStringLiteral("skins/") + name + QStringLiteral(".skn");
}

bool TFrmMain::writeSkinChoice(bool on, const QString &name)
{
    // The name and the switch go to the file together: a start must not find the new switch with the old name.
    return m_ini->Update([&] {
        if (on)
            m_ini->WriteString(kWindowSection, QStringLiteral("skinname"), name);
        m_ini->WriteBool(kWindowSection, QStringLiteral("skined"), on);
    });
}

void TFrmMain::setupSkin()
{
    TSkinManage::Install();
    m_skin = std::make_unique<TSkinData>();
    m_skin->DisableTag = 99; // a window tagged 99 keeps its own look
    m_skin->Loaded();        // known to the manager, which watches windows from now on
}

void TFrmMain::loadStartSkin(const IniFile &ini)
{
    // The package is read early so that every window shown from here on can be skinned at once; the skin is
    // switched on only at the end of the first showing (activateStartSkin).
    const QList<QAction *> items = m_skinGroup->actions();
    m_skinOn = ini.ReadBool(kWindowSection, QStringLiteral("skined"), false);
    if (!m_skinOn) {
        m_skin->SetActive(false);
        if (items.size() > 1)
            items.last()->setChecked(true);
        return;
    }
    const QString name = ini.ReadString(kWindowSection, QStringLiteral("skinname"), QStringLiteral("Mx1"));
    for (QAction *a : items)
        a->setChecked(a->text() == name);
    const QString file = skinFile(name);
    if (!file.isEmpty())
        m_skin->LoadFromFile(file);
    if (file.isEmpty() || m_skin->Empty()) {
        // The program comes up native; the stored choice stays, so the skin returns once its file does.
        m_skinOn = false;
        if (items.size() > 1)
            items.last()->setChecked(true);
        const QString reason = file.isEmpty() ? QStringLiteral("对应的皮肤文件已经丢失") : m_skin->lastError();
        inform(QStringLiteral("界面风格“%1”无法加载，程序使用系统默认界面。\n%2").arg(name, reason));
    }
}

void TFrmMain::activateStartSkin()
{
    m_skin->SetActive(m_skinOn);
}

bool TFrmMain::chooseSkin(const QString &name)
{
    // A package that cannot be read changes nothing: the skin shown so far (or the native look) stays, its
    // menu item is checked again, and the stored choice is kept.
    const QString previous = m_skinOn ? QFileInfo(m_skin->SkinFile).completeBaseName() : QString();
    m_skin->LoadFromFile(skinFile(name));
    if (m_skin->Empty()) {
        const QString reason = m_skin->lastError();
        if (!previous.isEmpty())
            m_skin->LoadFromFile(skinFile(previous));
        const bool restored = !previous.isEmpty() && !m_skin->Empty();
        if (!restored)
            switchSkinOff();
        const QList<QAction *> items = m_skinGroup->actions();
        for (QAction *a : items)
            a->setChecked(restored ? a->text() == previous : a == items.last());
        inform(QStringLiteral("界面风格“%1”无法加载，界面保持不变。\n%2").arg(name, reason));
        return false;
    }
    m_skinOn = true;
    // The windows are up: switching on skins them on the manager's timer rather than at their next showing.
    if (SkinManagerApi *m = CreateSkinManager())
        m->SetSwitchedOn(true);
    m_skin->SetActive(true);
    return true;
}

void TFrmMain::switchSkinOff()
{
    m_skinOn = false;
    m_skin->SetActive(false);
    update();
}
