// The production prompts, driven under the offscreen platform: the box is found while it is open.
#include "FontSubstitution.h"
#include "Prompts.h"

#include <QApplication>
#include <QFontInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Kept alive to the end: destroying it among the other statics at exit crashes.
QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_qtprompts";
    static char *argv[] = {name, nullptr};
    static QApplication *instance = new QApplication(argc, argv);
    return *instance;
}

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
    void SetUp() override { app(); }
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

TEST(FontSubstitution, SongTiIsDrawnWithAnInstalledCjkFont)
{
    app();
    RegisterFontSubstitutions();
    EXPECT_TRUE(QFont::substitutes("宋体").contains("Noto Serif CJK SC", Qt::CaseInsensitive))
        << QFont::substitutes("宋体").join(",").toStdString();
    const QString family = QFontInfo(QFont("宋体")).family();
    EXPECT_TRUE(family.contains("CJK") || family.contains("UMing")) << family.toStdString();
}

} // namespace
