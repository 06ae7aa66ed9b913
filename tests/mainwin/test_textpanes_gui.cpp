#include "GuiTestSupport.h"

#include "ColourGrid.h"
#include "GbkText.h"
#include "Resources.h"
#include "RtfText.h"
#include "ShellOpen.h"
#include "TFrmMain.h"
#include "TextPanes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <sys/stat.h>
#include <unistd.h>

using Answer = Prompts::Answer;
using TextPanes::SaveKind;

namespace {

TEST(SavePath, TheNameOrElseTheFilterDecidesAndTheExtensionIsAddedOnlyWhenMissing)
{
    struct Case {
        const char *chosen;
        const char *filter;
        SaveKind kind;
        const char *path;
    };
    const Case cases[] = {
        {"/t/a", "", SaveKind::Rich, "/t/a.rtf"},
        {"/t/a", "Rtf格式 (*.rtf)", SaveKind::Rich, "/t/a.rtf"},
        {"/t/a", "Txt格式 (*.txt)", SaveKind::Plain, "/t/a.txt"},
        {"/t/a.RTF", "Txt格式 (*.txt)", SaveKind::Rich, "/t/a.RTF"},
        {"/t/a.Txt", "", SaveKind::Plain, "/t/a.Txt"},
        {"/t/a.doc", "", SaveKind::Rich, "/t/a.doc.rtf"},
        {"/t/a.rtf.bak", "Txt格式 (*.txt)", SaveKind::Plain, "/t/a.rtf.bak.txt"},
    };
    for (const Case &c : cases) {
        const QString chosen = QString::fromUtf8(c.chosen);
        EXPECT_EQ(TextPanes::SaveKindOf(chosen, QString::fromUtf8(c.filter)), c.kind) << c.chosen;
        EXPECT_EQ(TextPanes::SavePath(chosen, c.kind), QString::fromUtf8(c.path)) << c.chosen;
    }
}

class TextPaneTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        w = std::make_unique<TFrmMain>();
        w->show();
    }
    void TearDown() override
    {
        // Closing, and No to keeping what a test laid out or typed as a new case, when that is asked.
        CloseUnsaved(*w, prompts);
        w.reset();
        ProgramFolderTest::TearDown();
    }
    // Runs the popup item `text` of the popup `menu`.
    void popup(const char *menu, const QString &text)
    {
        auto *m = find<QMenu>(w.get(), menu);
        emit m->aboutToShow();
        for (QAction *a : m->actions())
            if (a->text() == text) {
                ASSERT_TRUE(a->isEnabled()) << text.toStdString();
                a->trigger();
                return;
            }
        ADD_FAILURE() << "no item " << text.toStdString();
    }
    QString lastText() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }
    QString lastTitle() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().title; }
    void fillRich(QTextEdit *pane)
    {
        pane->clear();
        QTextCursor c(pane->document());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setForeground(QColor(Qt::red));
        c.insertText(QStringLiteral("评语"), bold);
        c.insertBlock();
        c.insertText(QStringLiteral("第二行😀"), QTextCharFormat());
    }

    std::unique_ptr<TFrmMain> w;
};

TEST_F(TextPaneTest, SavingWritesRtfOrGbkTextAsksBeforeReplacingAndLeavesThePaneRich)
{
    auto *pane = find<QTextEdit>(w.get(), "RedtPingYu");
    fillRich(pane);
    QDir(dir.path()).mkdir(QStringLiteral("out"));

    prompts.reply(path("out/评语.TXT")).reply(Answer::Ok);
    popup("PopPingYu", QStringLiteral("另存为"));
    EXPECT_EQ(lastText(), QStringLiteral("已保存！"));
    EXPECT_EQ(readFile("out/评语.TXT"), GbkEncode(QStringLiteral("评语\r\n第二行?")));
    EXPECT_EQ(pane->document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);

    prompts.reply(path("out/report")).reply(Answer::Ok);
    popup("PopPingYu", QStringLiteral("另存为"));
    QTextDocument back;
    ASSERT_EQ(ReadRtf(readFile("out/report.rtf"), back), RtfError::None);
    EXPECT_EQ(back.toPlainText(), pane->toPlainText());

    // The appended name exists: No keeps the old file, Yes replaces it.
    pane->setPlainText(QStringLiteral("新的"));
    prompts.reply(path("out/report")).reply(Answer::No);
    popup("PopPingYu", QStringLiteral("另存为"));
    EXPECT_EQ(prompts.asked().last().defaultAnswer, Answer::No);
    ASSERT_EQ(ReadRtf(readFile("out/report.rtf"), back), RtfError::None);
    EXPECT_EQ(back.toPlainText(), QStringLiteral("评语\n第二行😀"));
    prompts.reply(path("out/report")).reply(Answer::Yes).reply(Answer::Ok);
    popup("PopPingYu", QStringLiteral("另存为"));
    ASSERT_EQ(ReadRtf(readFile("out/report.rtf"), back), RtfError::None);
    EXPECT_EQ(back.toPlainText(), QStringLiteral("新的"));

    // A file that cannot be written is reported, not announced as saved.
    prompts.reply(path("missing/folder/x.rtf")).reply(Answer::Ok);
    popup("PopPingYu", QStringLiteral("另存为"));
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("无法写入文件"))) << lastText().toStdString();
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(TextPaneTest, ImportReplacesTheReportOnlyWhenTheWholeFileReads)
{
    auto *pane = find<QTextEdit>(w.get(), "RedtQuorin");
    fillRich(pane);
    writeFile(QStringLiteral("damaged.rtf"), "{\\rtf1\\ansi 断语 {\\b ");
    writeFile(QStringLiteral("gbk.txt"), GbkEncode(QStringLiteral("阳宅断语\r\n第二行")));
    writeFile(QStringLiteral("good.rtf"), "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 x;}}\\f0 \\'d1\\'f4\\b \\'d5\\'ac}");

    // A named pipe is refused at once; the alarm ends the test program should it be waited on after all.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.rtf")).constData(), 0644), 0);
    alarm(60);
    for (const char *bad : {"damaged.rtf", "nothing-here.rtf", "pipe.rtf"}) {
        prompts.reply(path(QString::fromLatin1(bad))).reply(Answer::Ok);
        popup("PopupRdtYang", QStringLiteral("导入阳宅断语"));
        EXPECT_EQ(lastTitle(), QStringLiteral("重试一次"));
        EXPECT_EQ(lastText(), QStringLiteral("导入文件出错,请重试一次"));
        EXPECT_EQ(pane->toPlainText(), QStringLiteral("评语\n第二行😀")) << bad;
    }
    alarm(0);
    EXPECT_EQ(prompts.asked().first().text, QStringLiteral("All.rtf (*.rtf);;All.txt (*.txt)"));

    prompts.reply(path("gbk.txt"));
    popup("PopupRdtYang", QStringLiteral("导入阳宅断语"));
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("阳宅断语\n第二行"));
    const QTextCharFormat f = pane->document()->begin().begin().fragment().charFormat();
    EXPECT_EQ(f.foreground().color(), QColor(Qt::black));
    EXPECT_EQ(f.fontPointSize(), pane->document()->defaultFont().pointSizeF());

    prompts.reply(path("good.rtf"));
    popup("PopupRdtYang", QStringLiteral("导入阳宅断语"));
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("阳宅"));
    EXPECT_TRUE(find<QMenu>(w.get(), "PopPingYu")->actions().size() < find<QMenu>(w.get(), "PopupRdtYang")->actions().size());
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(TextPaneTest, PrintingAsksThenPrintsToTheChosenPrinterAndReportsAFailure)
{
    auto *pane = find<QTextEdit>(w.get(), "RedtPingYu");
    fillRich(pane);
    prompts.reply(Answer::No);
    popup("PopPingYu", QStringLiteral("打印"));
    EXPECT_EQ(prompts.asked().last().text, QStringLiteral("准备开始打印吗?"));
    EXPECT_EQ(prompts.asked().size(), 1);

    prompts.reply(Answer::Yes).reply(path("comments.pdf"));
    popup("PopPingYu", QStringLiteral("打印"));
    EXPECT_TRUE(readFile("comments.pdf").startsWith("%PDF"));

    prompts.reply(Answer::Yes).reply(path("missing/folder/x.pdf")).reply(Answer::Ok);
    popup("PopPingYu", QStringLiteral("打印"));
    EXPECT_EQ(lastTitle(), QStringLiteral("打印错误"));
    EXPECT_EQ(lastText(), QStringLiteral("打印错误，请检查打印设备！"));
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(TextPaneTest, SelectionFontNeedsASelectionAndChangesOnlyIt)
{
    auto *pane = find<QTextEdit>(w.get(), "RedtQuorin");
    pane->setPlainText(QStringLiteral("甲乙丙"));
    emit find<QMenu>(w.get(), "PopupRdtYang")->aboutToShow();
    QAction *fontItem = nullptr;
    for (QAction *a : find<QMenu>(w.get(), "PopupRdtYang")->actions())
        if (a->text() == QStringLiteral("设置选中文本"))
            fontItem = a;
    ASSERT_NE(fontItem, nullptr);
    EXPECT_FALSE(fontItem->isEnabled());

    QTextCursor c = pane->textCursor();
    c.setPosition(1);
    c.setPosition(2, QTextCursor::KeepAnchor);
    pane->setTextCursor(c);
    QFont chosen(QStringLiteral("宋体"), 20);
    chosen.setItalic(true);
    prompts.reply(chosen);
    popup("PopupRdtYang", QStringLiteral("设置选中文本"));
    const QTextBlock b = pane->document()->begin();
    QStringList runs;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        runs << it.fragment().text() + (it.fragment().charFormat().fontItalic() ? QStringLiteral("/i") : QString());
    EXPECT_EQ(runs, QStringList({QStringLiteral("甲"), QStringLiteral("乙/i"), QStringLiteral("丙")}));
}

bool g_opened = false;
bool openerFails(const QString &) { return false; }
bool openerWorks(const QString &) { return g_opened = true; }

TEST_F(TextPaneTest, MenusHoldTheirItemsAndActOnTheReportAndTheKnowledgeFile)
{
    struct Item {
        const char *name;
        const char *menu;
        const char16_t *text;
    };
    const Item items[] = {{"Osetmo", "mnuMingGao", u"默认"}, {"Omnusetfont", "mnuMingGao", u"字体设置"},
                          {"Omnusetcolor", "mnuMingGao", u"背景色设置"}, {"mlzishi", "mnuMingLi", u"相关知识"},
                          {"MenuMenDing", "mnuTool", u"门公、丁兰尺"}, {"TmnuMenChi", "mnuTool", u"门尺占"},
                          {"TmnuJiuXing", "mnuTool", u"九星运行图"}, {"TmnuFeiBu", "mnuTool", u"九星飞布图"},
                          {"Tmnuwnl", "mnuTool", u"万年历"}, {"N19", "mnuTool", u"画笔属性"}};
    for (const Item &i : items) {
        auto *a = find<QAction>(w.get(), i.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromUtf16(i.text));
        EXPECT_TRUE(find<QMenu>(w.get(), i.menu)->actions().contains(a)) << i.name;
    }
    EXPECT_EQ(find<QMenu>(w.get(), "mnuMingGao")->title(), QStringLiteral("命稿设置"));
    EXPECT_EQ(find<QMenu>(w.get(), "mnuMingLi")->title(), QStringLiteral("命理知识"));
    EXPECT_TRUE(find<QMenu>(w.get(), "mnuTool")->menuAction()->isVisible());
    EXPECT_EQ(find<QAction>(w.get(), "TmnuJiuXing")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));

    auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
    prompts.reply(QFont(QStringLiteral("Noto Sans CJK SC"), 15)).reply(Answer::Ok);
    find<QAction>(w.get(), "Omnusetfont")->trigger();
    EXPECT_EQ(report->font().pointSize(), 15);
    EXPECT_EQ(lastText(), QStringLiteral("设置完成"));
    prompts.reply(QColor(Qt::yellow)).reply(Answer::Ok);
    find<QAction>(w.get(), "Omnusetcolor")->trigger();
    EXPECT_EQ(report->palette().color(QPalette::Base), QColor(Qt::yellow));
    prompts.reply(Answer::Ok);
    find<QAction>(w.get(), "Osetmo")->trigger();
    EXPECT_EQ(report->font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(report->font().pointSize(), 12);
    EXPECT_EQ(report->palette().color(QPalette::Base), QColor(Qt::white));

    // The knowledge file: missing or without a viewer is said, a viewer opens it silently.
    const ShellOpener previous = SetShellOpener(openerFails);
    prompts.reply(Answer::Ok);
    find<QAction>(w.get(), "mlzishi")->trigger();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("没有找到知识文件 fszs.chm"))) << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(QDir::toNativeSeparators(path("dat")))) << lastText().toStdString();
    const qsizetype asked = prompts.asked().size();
    writeFile(QStringLiteral("dat/fszs.chm"), "ITSF");
    prompts.reply(Answer::Ok);
    find<QAction>(w.get(), "mlzishi")->trigger();
    EXPECT_TRUE(lastText().contains(QStringLiteral("fszs.chm")));
    SetShellOpener(openerWorks);
    find<QAction>(w.get(), "mlzishi")->trigger();
    EXPECT_TRUE(g_opened);
    EXPECT_EQ(prompts.asked().size(), asked + 1);
    SetShellOpener(previous);
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(TextPaneTest, ArticlesShowTheirTextInTheGridsColour)
{
    auto *list = find<QComboBox>(w.get(), "CboJiaJu");
    auto *memo = find<QPlainTextEdit>(w.get(), "MeoJiaJu");
    ASSERT_EQ(list->count(), 26);
    EXPECT_EQ(list->itemText(0), QStringLiteral("家居风水：总论"));
    EXPECT_EQ(list->itemText(25), QStringLiteral("其他三"));
    for (int i = 0; i < 26; ++i) {
        const QString text = LoadText(QStringLiteral("T%1").arg(i));
        EXPECT_GE(text.count(QStringLiteral("\n\n")), 4) << "article " << i << " has several paragraphs";
        EXPECT_GT(text.size(), 450) << i;
    }
    list->setCurrentIndex(25);
    emit list->activated(25);
    EXPECT_EQ(memo->toPlainText(), LoadText(QStringLiteral("T25")));

    auto *grid = find<ColourGrid>(w.get(), "ColGrid");
    EXPECT_EQ(grid->toolTip(), QStringLiteral("文本颜色"));
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((grid->width() - 1) / 8 + 3, (grid->height() - 1) / 2 + 3));
    EXPECT_EQ(memo->palette().color(QPalette::Text), ColourGrid::CellColor(9)); // red: second row, second cell
}

TEST_F(TextPaneTest, Screenshots)
{
    w->resize(1280, 800);
    // A laid-out report saved as RTF and printed to PDF, for opening in other programs by hand.
    find<QLineEdit>(w.get(), "EdtName")->setText(QStringLiteral("张三"));
    find<QLineEdit>(w.get(), "LedtShengNian")->setText(QStringLiteral("1980"));
    find<QLineEdit>(w.get(), "EdtYear")->setText(QStringLiteral("2004"));
    w->BtnPaiClick();
    auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
    ASSERT_FALSE(report->toPlainText().isEmpty());
    EXPECT_TRUE(TextPanes::SaveDocument(*report->document(), QStringLiteral(QUORIN_TEST_OUTPUT "/report_sample.rtf"),
                                        SaveKind::Rich));
    prompts.reply(Answer::Yes).reply(QStringLiteral(QUORIN_TEST_OUTPUT "/report_sample.pdf"));
    popup("PopupRdtYang", QStringLiteral("打印"));
    EXPECT_EQ(prompts.unexpected(), 0);
    auto *list = find<QComboBox>(w.get(), "CboJiaJu");
    list->setCurrentIndex(1);
    emit list->activated(1);
    find<QTabWidget>(w.get(), "PageTools")->setCurrentIndex(1);
    find<QTextEdit>(w.get(), "RedtPingYu")->setPlainText(QStringLiteral("评语：大门朝东南，宜设玄关。"));
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/textpanes_articles.png")));
    for (const char *name : {"PopupRdtYang", "PopPingYu"}) {
        auto *m = find<QMenu>(w.get(), name);
        m->popup(w->mapToGlobal(QPoint(900, 200)));
        QApplication::processEvents();
        EXPECT_TRUE(m->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/textpanes_%1.png").arg(QLatin1String(name))));
        m->hide();
    }
}

} // namespace
