// Deleting a case from the tree with its files, the delete question among cases of one owner, and the tree's
// highlight following the case on screen: driven with the pointer and keys on a real case file.
#include "GuiTestSupport.h"

#include "CaseFiles.h"
#include "CaseTree.h"
#include "MRecordBase.h"
#include "TFrmMain.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using Answer = Prompts::Answer;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Sitting items: 子山午向, 子山兼癸, 午山子向.
constexpr int kZiWu = 5, kZiJianGui = 6, kWuZi = 53;

struct StoredCase {
    const char *name;
    int sitting;
    int year;
    const char *category;
    const char *files; // the name of its comment and floor-plan files
};

class CaseDeleteTest : public ProgramFolderTest {
protected:
    void TearDown() override
    {
        EXPECT_EQ(prompts.unexpected(), 0);
        ProgramFolderTest::TearDown();
    }
    QString app() const { return path(""); }

    // Cases written straight into the case file, ids 1, 2, ... in order, each with its .rtf and .bmp.
    void store(const QList<StoredCase> &cases)
    {
        MRecordBase db(app());
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(app())), 0);
        QImage plan(40, 30, QImage::Format_RGB32);
        plan.fill(Qt::yellow);
        for (const StoredCase &c : cases) {
            TRecordData r;
            r.name = QString::fromUtf8(c.name);
            r.mountain = uint8_t(c.sitting);
            r.buildYear = int16_t(c.year);
            r.className = QString::fromUtf8(c.category);
            r.date = {1980, 5, 6, 7, 8};
            r.remarkFile = QString::fromUtf8(c.files);
            ASSERT_GT(db.InsertCase(r), 0);
            writeFile("Quorin_f/" + r.remarkFile + ".rtf", "{\\rtf1 " + QByteArray(c.name) + "}");
            ASSERT_TRUE(plan.save(RemarkFilePath(app(), r.remarkFile).replace(".rtf", ".bmp"), "BMP"));
        }
    }
    QStringList caseFiles() const { return QDir(path("Quorin_f")).entryList(QDir::Files, QDir::Name); }

    std::unique_ptr<TFrmMain> open()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        return w;
    }
    QTreeWidget *tree(TFrmMain &w) { return find<QTreeWidget>(&w, "Tree"); }
    QPoint rowOf(TFrmMain &w, int id)
    {
        tree(w)->scrollToItem(w.Tree().NodeOf(id));
        return tree(w)->visualItemRect(w.Tree().NodeOf(id)).center();
    }

    // A right click on the case's node, then the pointer on the popup's item.
    QMenu *rightClick(TFrmMain &w, int id)
    {
        auto *popup = w.findChild<QMenu *>("PopTree");
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, tree(w)->viewport()->mapTo(&w, rowOf(w, id)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 2000));
        EXPECT_EQ(CaseTree::IdOf(tree(w)->currentItem()), id); // the command acts on the case under the pointer
        return popup;
    }
    void deleteByPointer(TFrmMain &w, int id)
    {
        QMenu *popup = rightClick(w, id);
        QAction *item = w.findChild<QAction *>("pop_ming_delete");
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, popup->actionGeometry(item).center());
    }
    void moveByPointer(TFrmMain &w, int id, const QString &category)
    {
        QMenu *popup = rightClick(w, id);
        auto *move = w.findChild<QMenu *>("pop_ming_move");
        const QPoint item = popup->actionGeometry(move->menuAction()).center();
        QTest::mouseMove(popup->windowHandle(), item - QPoint(0, 3));
        QTest::mouseMove(popup->windowHandle(), item);
        ASSERT_TRUE(QTest::qWaitFor([&] { return move->isVisible(); }, 1000));
        for (QAction *a : move->actions())
            if (a->text() == category)
                QTest::mouseClick(move->windowHandle(), Qt::LeftButton, {}, move->actionGeometry(a).center());
    }
    void doubleClick(TFrmMain &w, int id)
    {
        const QPoint row = rowOf(w, id);
        QTest::mouseClick(tree(w)->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(tree(w)->viewport(), Qt::LeftButton, {}, row);
    }

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
    QString lastQuestion() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }
};

} // namespace

TEST_F(CaseDeleteTest, ADeletedCaseTakesItsFilesButLeavesThoseAnotherCaseNames)
{
    // 李四's second case names the first one's files, as cases from an earlier version of the program may.
    store({{"张三", kZiWu, 2004, "私人别墅", "张三_1"},
           {"李四", kZiWu, 2004, "私人别墅", "李四_1"},
           {"李四", kWuZi, 2010, "私人别墅", "李四_1"},
           {"王五", kZiWu, 2004, "私人别墅", "王五_1"}});
    auto w = open();
    const struct {
        int id;
        bool openFirst;          // the case is on screen when it is deleted
        QList<Answer> answers;   // to the delete question(s)
        bool deleted;
        QStringList filesAfter;  // the case folder afterwards
    } rows[] = {
        {1, true, {Answer::Yes, Answer::Yes}, true, {"李四_1.bmp", "李四_1.rtf", "王五_1.bmp", "王五_1.rtf"}},
        {4, false, {Answer::No}, false, {"李四_1.bmp", "李四_1.rtf", "王五_1.bmp", "王五_1.rtf"}},
        {2, false, {Answer::Yes}, true, {"李四_1.bmp", "李四_1.rtf", "王五_1.bmp", "王五_1.rtf"}},
        {3, false, {Answer::Yes}, true, {"王五_1.bmp", "王五_1.rtf"}},
        {4, false, {Answer::Yes}, true, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.id);
        if (row.openFirst) {
            doubleClick(*w, row.id);
            ASSERT_EQ(w->OpenCaseId(), row.id);
        }
        for (Answer a : row.answers)
            prompts.reply(a);
        deleteByPointer(*w, row.id);
        EXPECT_EQ(prompts.pendingReplies(), 0);
        TRecordData gone;
        EXPECT_EQ(CaseDb()->LoadCase(row.id, gone), !row.deleted);
        EXPECT_EQ(w->Tree().NodeOf(row.id) == nullptr, row.deleted);
        EXPECT_EQ(caseFiles(), row.filesAfter);
    }
    EXPECT_FALSE(w->CaseOpen());
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

TEST_F(CaseDeleteTest, TheDeleteQuestionNamesWhichCaseWhenTheOwnerHasSeveral)
{
    store({{"陈十", kZiWu, 2005, "私人别墅", "陈十_1"},
           {"陈十", kZiJianGui, 2005, "私人别墅", "陈十_2"},
           {"陈十", kWuZi, 2010, "小区套房", "陈十_3"},
           {"陈十一", kZiWu, 2005, "私人别墅", "陈十一_1"},
           {"李四", kZiWu, 2004, "私人别墅", "李四_1"}});
    auto w = open();
    const struct {
        int id;
        const char *question;
    } rows[] = {
        {1, "确定要删除“陈十（子山午向，2005年）”这个案例吗？"},
        {2, "确定要删除“陈十（子山兼癸，2005年）”这个案例吗？"},
        {3, "确定要删除“陈十（午山子向，2010年）”这个案例吗？"},
        {4, "确定要删除“陈十一”这个案例吗？"},
        {5, "确定要删除“李四”这个案例吗？"},
    };
    for (const auto &row : rows) {
        prompts.reply(Answer::No);
        deleteByPointer(*w, row.id);
        EXPECT_EQ(lastQuestion(), QString::fromUtf8(row.question));
        EXPECT_NE(w->Tree().NodeOf(row.id), nullptr);
    }
    // Once the owner has one case left, the name alone says which.
    prompts.reply(Answer::Yes).reply(Answer::Yes).reply(Answer::No);
    deleteByPointer(*w, 1);
    deleteByPointer(*w, 2);
    deleteByPointer(*w, 3);
    EXPECT_EQ(lastQuestion(), "确定要删除“陈十”这个案例吗？");
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

TEST_F(CaseDeleteTest, TheTreeHighlightsTheCaseOnScreen)
{
    store({{"张三", kZiWu, 2004, "私人别墅", "张三_1"},
           {"李四", kZiWu, 2004, "私人别墅", "李四_1"},
           {"王五", kZiWu, 2004, "小区套房", "王五_1"}});
    auto w = open();
    auto *newCase = find<QPushButton>(w.get(), "BtoNew");
    const auto saveNewByPointer = [&] {
        EnterHouse(*w, "0:00", "2004", "赵六", "1980");
        QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
        ASSERT_TRUE(w->ChartValid());
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
        {"open 张三", [&] { doubleClick(*w, 1); }, 1},
        {"新建 over it, by keys",
         [&] {
             prompts.reply(Answer::Yes);
             newCase->setFocus();
             QTest::keyClick(newCase, Qt::Key_Space);
         },
         -1},
        {"存新", saveNewByPointer, 4},
        {"移动到 of another case", [&] { moveByPointer(*w, 2, "小区套房"); }, 4},
        {"移动到 of the case shown", [&] { moveByPointer(*w, 4, "小区套房"); }, 4},
        {"删除案例 of another case", [&] { prompts.reply(Answer::Yes); deleteByPointer(*w, 3); }, 4},
        {"刷新显示", [&] { w->findChild<QAction *>("N44")->trigger(); }, 4},
        {"open 李四", [&] { doubleClick(*w, 2); }, 2},
        {"删除案例 of the case shown",
         [&] {
             prompts.reply(Answer::Yes).reply(Answer::Yes);
             deleteByPointer(*w, 2);
         },
         -1},
    };
    for (const auto &s : steps) {
        s.act();
        EXPECT_EQ(highlighted(*w), s.highlight) << s.step;
        EXPECT_EQ(prompts.pendingReplies(), 0) << s.step;
    }
    TRecordData saved;
    ASSERT_TRUE(CaseDb()->LoadCase(4, saved));
    EXPECT_EQ(saved.className, "小区套房");
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}
