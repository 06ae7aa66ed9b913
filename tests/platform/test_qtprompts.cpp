// The production prompts, driven under the offscreen platform: the box is found while it is open.
// Also what needs an application object: fonts and printers.
#include "FontSubstitution.h"
#include "Prompts.h"
#include "QtTranslation.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// One application object for the whole run, gone before the statics are destroyed.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_app = std::make_unique<QApplication>(m_argc, m_argv); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "test_qtprompts";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};
[[maybe_unused]] ::testing::Environment *const appEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

// Runs `act` on the modal dialog once it is open.
template <class Dialog> void whenOpen(std::function<void(Dialog *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

class QtPromptsTest : public ::testing::Test {
protected:
    QtPrompts prompts;
};

TEST_F(QtPromptsTest, YesNoWithNoAsDefaultShowsPlainText)
{
    QString title, text;
    QMessageBox::Icon icon{};
    QAbstractButton *defaultButton = nullptr, *noButton = nullptr;
    whenOpen<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        defaultButton = box->defaultButton();
        noButton = box->button(QMessageBox::No);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(prompts.message("删除所有案例", "<b>确定?</b>", Prompts::Icon::Warning, Prompts::Buttons::YesNo,
                              Prompts::Answer::No),
              Prompts::Answer::No);
    EXPECT_EQ(title, "删除所有案例");
    EXPECT_EQ(text, "<b>确定?</b>");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(defaultButton, noButton);

    whenOpen<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(prompts.askYesNo("注意", "x"));

    whenOpen<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(prompts.message("t", "x", Prompts::Icon::None, Prompts::Buttons::OkCancel, std::nullopt),
              Prompts::Answer::Cancel);
}

TEST_F(QtPromptsTest, ButtonsReadInChineseWithQtsTranslation)
{
    ASSERT_TRUE(InstallQtTranslation());
    const struct {
        Prompts::Buttons buttons;
        QList<QMessageBox::StandardButton> shown;
        QStringList captions;
    } rows[] = {
        {Prompts::Buttons::YesNo, {QMessageBox::Yes, QMessageBox::No}, {"是", "否"}},
        {Prompts::Buttons::OkCancel, {QMessageBox::Ok, QMessageBox::Cancel}, {"确定", "取消"}},
    };
    for (const auto &row : rows) {
        QStringList captions;
        whenOpen<QMessageBox>([&](QMessageBox *box) {
            for (QMessageBox::StandardButton b : row.shown)
                captions << box->button(b)->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        prompts.message("关闭", "确定要关闭软件吗？", Prompts::Icon::Information, row.buttons, std::nullopt);
        EXPECT_EQ(captions, row.captions);
    }
}

// A box of a short text is as wide as its title in the title bar, the application's name after it, in a bold
// face, with room left for the bar's icon and three buttons: a window manager cuts a longer title.
TEST_F(QtPromptsTest, BoxesAreWideEnoughForTheirTitles)
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    for (const auto &[title, shown] : {std::pair{"Quorin 3.3", "Quorin 3.3"}, std::pair{"提示", "提示 \u2014 Quorin 3.3"},
                                       std::pair{"打开文件夹", "打开文件夹 \u2014 Quorin 3.3"}}) {
        int width = 0;
        QFont bold;
        whenOpen<QMessageBox>([&](QMessageBox *box) {
            width = box->width();
            bold = box->font();
            box->accept();
        });
        prompts.inform(QString::fromUtf8(title), "已保存！");
        bold.setBold(true);
        const QFontMetrics fm(bold);
        EXPECT_GE(width, fm.horizontalAdvance(QString::fromUtf8(shown)) + 4 * (fm.height() + 6)) << title;
    }
    QGuiApplication::setApplicationDisplayName(QString());
}

// The type column of the file dialogs, which Qt's own translation leaves in English for folders.
TEST_F(QtPromptsTest, FileDialogsNameFoldersInChinese)
{
    ASSERT_TRUE(InstallQtTranslation());
    QTemporaryDir dir;
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(dir.path())), "文件夹");
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(QStringLiteral("/"))), "驱动器");
}

TEST_F(QtPromptsTest, InputTextAcceptedOrCancelled)
{
    whenOpen<QInputDialog>([](QInputDialog *d) {
        EXPECT_EQ(d->textValue(), "旧名");
        d->setTextValue("新名");
        d->accept();
    });
    EXPECT_EQ(prompts.inputText("类别", "名称：", "旧名"), std::optional<QString>("新名"));

    whenOpen<QInputDialog>([](QInputDialog *d) { d->reject(); });
    EXPECT_EQ(prompts.inputText("类别", "名称：", "旧名"), std::nullopt);
}

TEST(ScriptedPrompts, PrintDialogPrintsToAPdfOrIsCancelled)
{
    ScriptedPrompts prompts;
    prompts.reply(QStringLiteral("/tmp/out.pdf")).reply(ScriptedPrompts::Cancel{}).reply(Prompts::Answer::Yes);
    QPrinter printer;
    EXPECT_TRUE(Prompts::instance().choosePrinter("打印", printer));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), "/tmp/out.pdf");
    EXPECT_FALSE(Prompts::instance().choosePrinter("打印", printer));
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_FALSE(Prompts::instance().choosePrinter("打印", printer)); // Yes is no print-dialog answer
    EXPECT_EQ(prompts.unexpected(), 1);
    EXPECT_EQ(prompts.asked().back().kind, ScriptedPrompts::Kind::Print);
}

TEST(FontSubstitution, SongTiIsDrawnWithAnInstalledCjkFont)
{
    RegisterFontSubstitutions();
    EXPECT_TRUE(QFont::substitutes("宋体").contains("Noto Serif CJK SC", Qt::CaseInsensitive))
        << QFont::substitutes("宋体").join(",").toStdString();
    const QString family = QFontInfo(QFont("宋体")).family();
    EXPECT_TRUE(family.contains("CJK") || family.contains("UMing")) << family.toStdString();

    // The fixed-pitch face of the reports' star tables, named so in saved and imported rich text: read back,
    // its box lines must still be drawn one Chinese character wide.
    for (const char *name : {"NSimSun", "新宋体"}) {
        const QString fixed = QFontInfo(QFont(QString::fromUtf8(name))).family();
        EXPECT_TRUE(fixed.contains("Mono CJK") || fixed.contains("UMing")) << name << ": " << fixed.toStdString();
    }
}

} // namespace
