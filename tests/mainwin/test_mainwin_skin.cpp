// The program's skin: chosen in 界面风格, kept in qrinit.ini, loaded at start-up and applied to every window.
#include "GuiTestSupport.h"

#include "IniFile.h"
#include "SkinMessages.h"
#include "TFrmMain.h"
#include "TFrmSet.h"
#include "TSkinData.h"
#include "TSkinManage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

using Answer = Prompts::Answer;

inline void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ',' << p.y() << ')';
}

namespace {

const QString kLost = QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！");

QByteArray shippedSkin(const char *name)
{
    QFile f(QStringLiteral(QUORIN_STAGED_SKINS "/") + QLatin1String(name) + QStringLiteral(".skn"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool skinned(QWidget *w)
{
    return SendSkinMessage(w, CN_IsSkinned) == 1;
}

// Lets the skin manager's queued action run.
void settle()
{
    QTest::qWait(400);
}

class ProgramSkinTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        writeFile(QStringLiteral("skins/Mx1.skn"), shippedSkin("Mx1"));
        writeFile(QStringLiteral("skins/Mx2.skn"), shippedSkin("Mx2"));
        ASSERT_FALSE(readFile(QStringLiteral("skins/Mx1.skn")).isEmpty());
    }
    void TearDown() override
    {
        ResetSkinManager();
        ProgramFolderTest::TearDown();
    }
    void store(bool on, const QString &name)
    {
        IniFile ini(path("dat/qrinit.ini"));
        ini.WriteBool(QStringLiteral("window"), QStringLiteral("skined"), on);
        ini.WriteString(QStringLiteral("window"), QStringLiteral("skinname"), name);
    }
    std::pair<bool, QString> stored() const
    {
        IniFile ini(path("dat/qrinit.ini"));
        return {ini.ReadBool(QStringLiteral("window"), QStringLiteral("skined"), false),
                ini.ReadString(QStringLiteral("window"), QStringLiteral("skinname"), QString())};
    }
    static QAction *item(TFrmMain &w, const QString &caption)
    {
        for (QAction *a : w.findChild<QMenu *>(QStringLiteral("Opt_Skin"))->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
    static QString checkedItem(TFrmMain &w)
    {
        for (QAction *a : w.findChild<QMenu *>(QStringLiteral("Opt_Skin"))->actions())
            if (a->isChecked())
                return a->text();
        return {};
    }
    void close(std::unique_ptr<TFrmMain> &w)
    {
        prompts.reply(Answer::Yes);
        w->close();
        w.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(ProgramSkinTest, StartUpFollowsTheStoredChoice)
{
    const struct {
        const char *what;
        bool skined;
        QString name;
        QByteArray file; // written as skins/<name>.skn unless null
        bool skinnedAfter;
        QString checked;
        bool message;
        const char *says; // what the message says besides the name
    } rows[] = {
        {"switched off", false, "Mx2", {}, false, "系统默认", false, ""},
        {"Mx2", true, "Mx2", {}, true, "Mx2", false, ""},
        {"file gone", true, "Gone", {}, false, "系统默认", true, "皮肤文件不存在"},
        {"damaged file", true, "Bad", "not a skin package", false, "系统默认", true, ""},
        // A name that leads out of skins/ is not followed, even to a sound package.
        {"outside skins/", true, "../dat/Out", shippedSkin("Mx1"), false, "系统默认", true, "对应的皮肤文件已经丢失"},
        {"outside, backslashes", true, "..\\dat\\Out", {}, false, "系统默认", true, "对应的皮肤文件已经丢失"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(path("skins/Bad.skn"));
        if (!row.file.isNull())
            writeFile(QStringLiteral("skins/") + row.name + QStringLiteral(".skn"), row.file);
        store(row.skined, row.name);
        prompts.reply(Answer::Ok);
        const qsizetype asked = prompts.asked().size();
        auto w = std::make_unique<TFrmMain>();
        w->show();
        settle();
        EXPECT_EQ(skinned(w.get()), row.skinnedAfter);
        for (const char *control : {"CboZuoShan", "EdtYear", "RedtQuorin", "GrpShowStar"})
            EXPECT_EQ(skinned(w->findChild<QWidget *>(QLatin1String(control))), row.skinnedAfter) << control;
        EXPECT_EQ(w->SkinOn(), row.skinnedAfter);
        EXPECT_EQ(checkedItem(*w), row.checked);
        EXPECT_EQ(prompts.asked().size() > asked, row.message);
        if (row.message) {
            EXPECT_TRUE(prompts.asked().last().text.contains(row.name));
            EXPECT_TRUE(prompts.asked().last().text.contains(QString::fromUtf8(row.says)));
        }
        EXPECT_EQ(stored(), std::make_pair(row.skined, row.name)) << "the stored choice is kept";
        close(w);
    }
}

TEST_F(ProgramSkinTest, MenuSkinsEveryWindowWithoutRestartAndTheChoiceSurvives)
{
    auto w = std::make_unique<TFrmMain>();
    w->show();
    settle();
    EXPECT_FALSE(skinned(w.get()));

    item(*w, "Mx1")->trigger();
    settle();
    EXPECT_TRUE(skinned(w.get()));
    EXPECT_TRUE(w->Skin().SkinFile.endsWith("Mx1.skn"));
    auto *dialog = new TFrmSet(w.get());
    dialog->show();
    auto *box = new QMessageBox(QMessageBox::Information, "提示", "一个消息", QMessageBox::Ok, w.get());
    box->show();
    settle();
    EXPECT_TRUE(skinned(dialog));
    EXPECT_TRUE(skinned(box));

    item(*w, "系统默认")->trigger();
    settle();
    for (QWidget *x : {static_cast<QWidget *>(w.get()), static_cast<QWidget *>(dialog), static_cast<QWidget *>(box),
                       w->findChild<QWidget *>(QStringLiteral("CboZuoShan"))})
        EXPECT_FALSE(skinned(x)) << x->metaObject()->className();
    EXPECT_EQ(stored().first, false);

    item(*w, "Mx2")->trigger();
    settle();
    EXPECT_TRUE(skinned(w.get()));
    EXPECT_TRUE(skinned(dialog));
    EXPECT_TRUE(w->Skin().SkinFile.endsWith("Mx2.skn"));
    EXPECT_EQ(stored(), std::make_pair(true, QStringLiteral("Mx2")));
    dialog->close();
    box->close();
    close(w);

    w = std::make_unique<TFrmMain>();
    w->show();
    settle();
    EXPECT_TRUE(skinned(w.get()));
    EXPECT_EQ(checkedItem(*w), QStringLiteral("Mx2"));
    close(w);
}

// The painted frame takes the place of the window manager's: switching looks leaves the window's outer
// top-left corner where it was (a frameless window's outer rectangle is its own), in either skin.
TEST_F(ProgramSkinTest, SwitchingLooksKeepsTheWindowsOuterCorner)
{
    auto w = std::make_unique<TFrmMain>();
    w->show();
    settle();
    w->move(40, 22);
    QTest::qWait(100);
    const QPoint outer = w->frameGeometry().topLeft();
    ASSERT_NE(w->geometry().topLeft(), outer) << "the platform frames a native window";
    for (const char *skin : {"Mx1", "Mx2"})
        for (int round = 1; round <= 4; ++round) {
            SCOPED_TRACE(std::string(skin) + " round " + std::to_string(round));
            item(*w, skin)->trigger();
            settle();
            ASSERT_TRUE(skinned(w.get()));
            EXPECT_EQ(w->geometry().topLeft(), outer);
            item(*w, "系统默认")->trigger();
            settle();
            EXPECT_EQ(w->frameGeometry().topLeft(), outer);
        }
    close(w);
}

// Every combo field of the main window, wherever it sits, shows its text and its drop-down list readably in
// either skin: text and background far apart in lightness.
TEST_F(ProgramSkinTest, ComboFieldsAreReadableInEverySkin)
{
    auto w = std::make_unique<TFrmMain>();
    w->show();
    settle();
    const auto apart = [](const QColor &a, const QColor &b) { return std::abs(qGray(a.rgb()) - qGray(b.rgb())) > 110; };
    for (const char *skin : {"Mx1", "Mx2"}) {
        item(*w, skin)->trigger();
        settle();
        ASSERT_TRUE(skinned(w.get()));
        for (QComboBox *c : w->findChildren<QComboBox *>()) {
            SCOPED_TRACE(std::string(skin) + ' ' + c->objectName().toStdString());
            const QPalette &pal = c->palette();
            if (c->isEditable())
                EXPECT_TRUE(apart(pal.color(QPalette::Text), pal.color(QPalette::Base)));
            else
                EXPECT_TRUE(apart(pal.color(QPalette::ButtonText), pal.color(QPalette::Button)));
            EXPECT_TRUE(apart(c->view()->palette().color(QPalette::Text), c->view()->palette().color(QPalette::Base)));
        }
    }
    close(w);
}

TEST_F(ProgramSkinTest, AnUnusablePackageChangesNothing)
{
    store(true, "Mx1");
    auto w = std::make_unique<TFrmMain>();
    w->show();
    settle();
    ASSERT_TRUE(skinned(w.get()));

    // Removed after the menu was built: the message of the menu, nothing else changes.
    QFile::remove(path("skins/Mx2.skn"));
    prompts.reply(Answer::Ok);
    item(*w, "Mx2")->trigger();
    EXPECT_EQ(prompts.asked().last().text, kLost);

    // Present but damaged: told why, the skin shown so far stays, its item checked again.
    writeFile(QStringLiteral("skins/Mx2.skn"), "damaged");
    prompts.reply(Answer::Ok);
    item(*w, "Mx2")->trigger();
    settle();
    EXPECT_TRUE(prompts.asked().last().text.contains("Mx2"));
    EXPECT_TRUE(skinned(w.get()));
    EXPECT_FALSE(w->Skin().Empty());
    EXPECT_TRUE(w->Skin().SkinFile.endsWith("Mx1.skn"));
    EXPECT_EQ(checkedItem(*w), QStringLiteral("Mx1"));
    EXPECT_EQ(stored(), std::make_pair(true, QStringLiteral("Mx1")));
    close(w);
}

} // namespace
