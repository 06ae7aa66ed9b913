// Deleting a case from the tree with its files, the questions among cases of one owner, the tree's highlight
// following the case on screen, and writes by id into a case file replaced under the tree or the category editor:
// driven with the pointer and keys on a real case file.
#include "GuiTestSupport.h"

#include "CaseTree.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

using Answer = Prompts::Answer;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Sitting items: 子山午向, 子山兼癸, 午山子向.
constexpr int kZiWu = 5, kZiJianGui = 6, kWuZi = 53;

class CaseDeleteTest : public CaseWindowTest {
protected:
    QTreeWidget *tree(TFrmMain &w) { return find<QTreeWidget>(&w, "Tree"); }

    // A right click on the case's row, then the pointer on the popup's item (a submenu's item when `category`).
    void popupCommand(TFrmMain &w, int id, const char *item, const QString &category = {})
    {
        auto *popup = w.findChild<QMenu *>("PopTree");
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, tree(w)->viewport()->mapTo(&w, rowOf(w, id)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 2000));
        EXPECT_EQ(CaseTree::IdOf(tree(w)->currentItem()), id); // the command acts on the case under the pointer
        if (category.isEmpty()) {
            const QPoint at = popup->actionGeometry(w.findChild<QAction *>(item)).center();
            QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, at);
            return;
        }
        auto *sub = w.findChild<QMenu *>(item);
        const QPoint at = popup->actionGeometry(sub->menuAction()).center();
        QTest::mouseMove(popup->windowHandle(), at - QPoint(0, 3));
        QTest::mouseMove(popup->windowHandle(), at);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sub->isVisible(); }, 1000));
        for (QAction *a : sub->actions())
            if (a->text() == category)
                QTest::mouseClick(sub->windowHandle(), Qt::LeftButton, {}, sub->actionGeometry(a).center());
    }
    void deleteByPointer(TFrmMain &w, int id) { popupCommand(w, id, "pop_ming_delete"); }

    // The highlighted case: the one selected node, which is also the current one; -1 for none.
    int highlighted(TFrmMain &w)
    {
        const QList<QTreeWidgetItem *> selected = tree(w)->selectedItems();
        if (selected.isEmpty())
            return tree(w)->currentItem() ? -2 : -1; // a current node without a highlight is no clear state
        EXPECT_EQ(selected.size(), 1);
        EXPECT_EQ(tree(w)->currentItem(), selected.first());
        return CaseTree::IdOf(selected.first());
    }

    // The highlight as the screen shows it once the event loop has run: the highlighted case's row in view and the
    // only row drawn in the highlight colour; none drawn so for -1.
    void expectDrawn(TFrmMain &w, int id)
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        QWidget *rows = tree(w)->viewport();
        const QPoint at = rows->mapTo(&w, QPoint(0, 0));
        const QImage shot = w.screen()->grabWindow(w.winId(), at.x(), at.y(), rows->width(), rows->height()).toImage();
        ASSERT_EQ(shot.size(), rows->size());
        const QPalette pal = tree(w)->palette();
        const QRgb marks[] = {pal.color(QPalette::Active, QPalette::Highlight).rgb(),
                              pal.color(QPalette::Inactive, QPalette::Highlight).rgb()};
        int first = -1, last = -1; // the lines drawn highlighted
        for (int y = 0; y < shot.height(); ++y) {
            int marked = 0;
            for (int x = 0; x < shot.width(); ++x)
                marked += std::find(std::begin(marks), std::end(marks), shot.pixel(x, y)) != std::end(marks);
            if (marked > 20) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
        if (id < 0) {
            EXPECT_EQ(first, -1) << "a row is drawn highlighted";
            return;
        }
        const QRect row = tree(w)->visualItemRect(w.Tree().NodeOf(id));
        EXPECT_TRUE(rows->rect().contains(row)) << "the highlighted row is out of view";
        EXPECT_TRUE(first >= row.top() && last <= row.bottom() && last - first >= row.height() / 2)
            << "drawn highlighted: lines " << first << ".." << last << ", the row: " << row.top() << ".." << row.bottom();
    }

    // Cases 1 乙, 2 丙 (小区套房) and 3 丁 (办公楼, a category of no list) in a fresh case folder, renumbered by a
    // compaction after 甲 was deleted; returns the case file of the backup from before: 1 甲, 2 乙 and 3 丙, naming
    // the same comment files.
    QByteArray storeCompactedCases()
    {
        QDir(path("dat")).removeRecursively();
        QDir(path("Quorin_f")).removeRecursively();
        EXPECT_TRUE(QDir().mkpath(path("dat")) && QDir().mkpath(path("Quorin_f")));
        storeCases({{"甲", kZiWu, 2004, "私人别墅", "甲_1"},
                    {"乙", kZiWu, 2004, "私人别墅", "乙_1"},
                    {"丙", kWuZi, 2010, "小区套房", "丙_1"}});
        const QByteArray backup = readFile("dat/Quorin.db");
        for (const char *gone : {"dat/Quorin.db", "Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"})
            QFile::remove(path(gone));
        storeCases({{"乙", kZiWu, 2004, "私人别墅", "乙_1"},
                    {"丙", kWuZi, 2010, "小区套房", "丙_1"},
                    {"丁", kZiWu, 2004, "办公楼", "丁_1"}});
        return backup;
    }
    std::map<QString, QByteArray> caseFolder() const
    {
        std::map<QString, QByteArray> files;
        for (const QString &n : QDir(path("Quorin_f")).entryList(QDir::Files))
            files[n] = readFile("Quorin_f/" + n);
        return files;
    }
};

} // namespace

TEST_F(CaseDeleteTest, ADeletedCaseTakesItsFilesButLeavesThoseAnotherCaseNames)
{
    // 李四's second case names the first one's files, as cases from an earlier version of the program may.
    storeCases({{"张三", kZiWu, 2004, "私人别墅", "张三_1"},
                {"李四", kZiWu, 2004, "私人别墅", "李四_1"},
                {"李四", kWuZi, 2010, "私人别墅", "李四_1"},
                {"王五", kZiWu, 2004, "私人别墅", "王五_1"}});
    auto w = open();
    const QStringList both = {"李四_1.bmp", "李四_1.rtf", "王五_1.bmp", "王五_1.rtf"};
    const struct {
        int id;
        bool onScreen;
        QList<Answer> answers; // to the delete question(s)
        bool deleted;
        QStringList filesAfter;
    } rows[] = {
        {1, true, {Answer::Yes, Answer::Yes}, true, both},
        {4, false, {Answer::No}, false, both},
        {2, false, {Answer::Yes}, true, both},
        {3, false, {Answer::Yes}, true, {"王五_1.bmp", "王五_1.rtf"}},
        {4, false, {Answer::Yes}, true, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.id);
        if (row.onScreen) {
            doubleClickCase(*w, row.id);
            ASSERT_EQ(w->OpenCaseId(), row.id);
        }
        for (Answer a : row.answers)
            prompts.reply(a);
        deleteByPointer(*w, row.id);
        EXPECT_EQ(prompts.pendingReplies(), 0);
        TRecordData gone;
        EXPECT_EQ(CaseDb()->LoadCase(row.id, gone), !row.deleted);
        EXPECT_EQ(w->Tree().NodeOf(row.id) == nullptr, row.deleted);
        EXPECT_EQ(QDir(path("Quorin_f")).entryList(QDir::Files, QDir::Name), row.filesAfter);
    }
    EXPECT_FALSE(w->CaseOpen());
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

// Where the owner has several cases, the delete question and the 存旧 question name the case by its sitting and
// building year; once the owner has one case left, the name alone says which.
TEST_F(CaseDeleteTest, TheDeleteQuestionNamesWhichCaseWhenTheOwnerHasSeveral)
{
    storeCases({{"陈十", kZiWu, 2005, "私人别墅", "陈十_1"},
                {"陈十", kZiJianGui, 2005, "私人别墅", "陈十_2"},
                {"陈十", kWuZi, 2010, "小区套房", "陈十_3"},
                {"陈十一", kZiWu, 2005, "私人别墅", "陈十一_1"},
                {"李四", kZiWu, 2004, "私人别墅", "李四_1"}});
    auto w = open();
    const struct {
        int id;
        bool saved; // first opened and saved with 存旧, answering No (the 午山 case, stored at 0°, lays out no chart)
        Answer answer; // to the delete question
        const char *named;
    } rows[] = {
        {1, true, Answer::No, "陈十（子山午向，2005年）"},
        {2, true, Answer::No, "陈十（子山兼癸，2005年）"},
        {3, false, Answer::No, "陈十（午山子向，2010年）"},
        {4, true, Answer::No, "陈十一"},
        {5, true, Answer::No, "李四"},
        {1, false, Answer::Yes, "陈十（子山午向，2005年）"},
        {2, false, Answer::Yes, "陈十（子山兼癸，2005年）"},
        {3, false, Answer::No, "陈十"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.id);
        const QString named = QString::fromUtf8(row.named);
        if (row.saved) {
            doubleClickCase(*w, row.id);
            ASSERT_EQ(w->OpenCaseId(), row.id);
            prompts.reply(Answer::No);
            QTest::mouseClick(find<QToolButton>(w.get(), "SbtoSave"), Qt::LeftButton);
            EXPECT_EQ(prompts.asked().last().text, "要修改“" + named + "”这条记录吗？");
        }
        prompts.reply(row.answer);
        deleteByPointer(*w, row.id);
        EXPECT_EQ(prompts.asked().last().text, "确定要删除“" + named + "”这个案例吗？");
        EXPECT_EQ(w->Tree().NodeOf(row.id) == nullptr, row.answer == Answer::Yes);
    }
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

TEST_F(CaseDeleteTest, TheTreeHighlightsTheCaseOnScreen)
{
    storeCases({{"张三", kZiWu, 2004, "私人别墅", "张三_1"},
                {"李四", kZiWu, 2004, "私人别墅", "李四_1"},
                {"王五", kZiWu, 2004, "小区套房", "王五_1"}});
    // Sixty more in 私人别墅 (ids 4 to 63), more than the tree shows at once: a new case goes in below the fold.
    constexpr int kMore = 60, kNew = 4 + kMore;
    for (int i = 0; i < kMore; ++i)
        storeCases({{"陈某", kZiWu, 2004, "私人别墅"}});
    auto w = open();
    auto *newCase = find<QPushButton>(w.get(), "BtoNew");
    const auto saveNew = [&] { // by the pointer, into 私人别墅, with the tree scrolled to its top
        EnterHouse(*w, "0:00", "2004", "赵六", "1980");
        QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
        ASSERT_TRUE(w->ChartValid());
        tree(*w)->scrollToTop();
        WithModalDialog([&] { QTest::mouseClick(find<QToolButton>(w.get(), "SbtoSave"), Qt::LeftButton); },
                        [&](QWidget *dlg) {
                            find<QComboBox>(dlg, "CboFenLei")->setEditText("私人别墅");
                            QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton);
                        });
    };
    const struct {
        const char *step;
        std::function<void()> act;
        int highlight; // the case highlighted afterwards, -1 none
    } steps[] = {
        {"open 张三", [&] { doubleClickCase(*w, 1); }, 1},
        {"新建 over it, by keys",
         [&] {
             prompts.reply(Answer::Yes);
             newCase->setFocus();
             QTest::keyClick(newCase, Qt::Key_Space);
         },
         -1},
        {"存新", saveNew, kNew},
        {"移动到 of another case", [&] { popupCommand(*w, 2, "pop_ming_move", "小区套房"); }, kNew},
        {"移动到 of the case shown", [&] { popupCommand(*w, kNew, "pop_ming_move", "小区套房"); }, kNew},
        {"删除案例 of another case", [&] { prompts.reply(Answer::Yes); deleteByPointer(*w, 3); }, kNew},
        {"刷新显示", [&] { w->findChild<QAction *>("N44")->trigger(); }, kNew},
        {"open 李四", [&] { doubleClickCase(*w, 2); }, 2},
        {"存旧 of it, which names new files", // 删除案例 then deletes the case as saved
         [&] {
             find<QTextEdit>(w.get(), "RedtPingYu")->setPlainText("李四的新评语");
             prompts.reply(Answer::Yes).reply(Answer::Ok); // 要修改…吗？  已保存编辑后的案例。
             QTest::mouseClick(find<QToolButton>(w.get(), "SbtoSave"), Qt::LeftButton);
         },
         2},
        {"删除案例 of the case shown", [&] { prompts.reply(Answer::Yes).reply(Answer::Yes); deleteByPointer(*w, 2); },
         -1},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        EXPECT_EQ(highlighted(*w), s.highlight);
        EXPECT_EQ(prompts.pendingReplies(), 0);
        expectDrawn(*w, s.highlight);
    }
    TRecordData saved;
    ASSERT_TRUE(CaseDb()->LoadCase(kNew, saved));
    EXPECT_EQ(saved.className, "小区套房");
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

// A backup copied over the case file in place while the window runs, as file managers copy: the file keeps its
// number, and only the cases read tell that the ids now hold other clients. Deleting the selected case, 移动到,
// and the 删除, 改名 and 移动 of an open 编辑类别 would each reach those: each is refused, saying that the case file
// was replaced, and the file put in place (also by the editor's category list, which 办公楼 has changed) and every
// comment and floor-plan file stay as they were.
TEST_F(CaseDeleteTest, WritesByIdIntoAReplacedCaseFileFromTheTreeOrTheCategoryEditorAreRefused)
{
    const QString kDeleteRefused = QStringLiteral("无法删除案例！\n案例文件已被其他程序替换");
    const QString kUpdateRefused = QStringLiteral("无法修改案例！\n案例文件已被其他程序替换");
    const struct {
        const char *what;
        int id; // the case whose popup command it is; 0: a button of the category editor with 私人别墅 selected
        const char *command;
        QString category; // of the popup's submenu
        std::vector<ScriptedPrompts::Reply> replies;
        QString refusal;
    } rows[] = {
        {"删除案例 of 丙 (乙 in the backup)", 2, "pop_ming_delete", {}, {Answer::Yes, Answer::Ok}, kDeleteRefused},
        {"移动到 of 乙 (甲 in the backup)", 1, "pop_ming_move", QStringLiteral("小区套房"), {Answer::Ok}, kUpdateRefused},
        {"编辑类别: 删除 of 私人别墅 (甲 in the backup)", 0, "BtoDelete", {}, {Answer::Yes, Answer::Ok},
         kDeleteRefused},
        {"编辑类别: 改名", 0, "BtoRename", {}, {Answer::Yes, QStringLiteral("暂存"), Answer::Ok}, kUpdateRefused},
        {"编辑类别: 移动 into 小区套房", 0, "BtoMove", {}, {Answer::Yes, QStringLiteral("小区套房"), Answer::Ok},
         kUpdateRefused},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray backup = storeCompactedCases();
        const auto files = caseFolder();
        auto w = open();
        ASSERT_TRUE(QTest::qWaitFor([] { return !CaseDb()->QuickCheckRunning(); }, 10000));
        QTest::qWait(250); // the window takes the check's verdict
        const qsizetype before = prompts.asked().size();
        const auto replaceAndReply = [&] {
            writeFile("dat/Quorin.db", backup);
            for (const auto &r : row.replies)
                prompts.reply(r);
        };
        if (row.id > 0) {
            replaceAndReply();
            popupCommand(*w, row.id, row.command, row.category);
        } else {
            WithModalDialog([&] { w->findChild<QAction *>("N35")->trigger(); },
                            [&](QWidget *dlg) {
                                replaceAndReply();
                                auto *list = find<QListWidget>(dlg, "LstClass");
                                for (int i = 0; i < list->count(); ++i)
                                    if (list->item(i)->text().startsWith(QStringLiteral("私人别墅")))
                                        list->setCurrentRow(i);
                                QTest::mouseClick(find<QPushButton>(dlg, row.command), Qt::LeftButton);
                                QTest::mouseClick(find<QPushButton>(dlg, "Button6"), Qt::LeftButton);
                            });
        }
        EXPECT_EQ(prompts.pendingReplies(), 0);
        ASSERT_GT(prompts.asked().size(), before);
        EXPECT_TRUE(prompts.asked().last().text.startsWith(row.refusal)) << prompts.asked().last().text.toStdString();
        EXPECT_TRUE(readFile("dat/Quorin.db") == backup) << "the file put in place was written";
        EXPECT_TRUE(caseFolder() == files) << "a comment or floor-plan file changed";
        EXPECT_NE(w->Tree().NodeOf(2), nullptr);
        EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
    }
}
