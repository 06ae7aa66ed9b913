// Pinyin of GBK text, the case tree's captions and orders, and the tree of the main window with its loader.
#include "GuiTestSupport.h"

#include "CaseComment.h"
#include "CaseFiles.h"
#include "CaseFileMaker.h"
#include "CaseTree.h"
#include "GbkText.h"
#include "ImCode.h"
#include "MRecordBase.h"
#include "TFrmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <thread>

using Answer = Prompts::Answer;

namespace {

TEST(ImCode, ConvertsGbkTextUnitByUnit)
{
    const struct {
        QByteArray gbk;
        int flags;
        QByteArray expected;
    } rows[] = {
        {GbkEncode("张阳"), ImCode::FullSyllables, "Zhang Yang "},
        {GbkEncode("张阳"), 0, "Z Y "},
        {GbkEncode("吕女士"), ImCode::FullSyllables, "Lv Nv Shi "},
        {"A1-b", 0, "A 1  b "},
        {"A1-b", ImCode::KeepAll, "A 1 - b "},
        {GbkEncode("Ａ９＃"), 0, "A 9  "},           // full-width row
        {GbkEncode("Ａ９＃"), ImCode::KeepAll, "A 9 # "},
        {GbkEncode("ΑΘΨ"), 0, "A TH PS "},         // Greek capitals
        {GbkEncode("⑴⒛①Ⅻ"), 0, "1 20 1 12 "},      // number forms
        {GbkEncode("、"), 0, " "},                  // no reading
        {GbkEncode("、"), ImCode::MarkUnknown, "? "},
        {"\xD5", 0, " "},                           // a lone lead byte at the end is one byte
        {"\xD5", ImCode::KeepAll, "\xD5 "},
        {"\x81\x7F" "a", 0, "  a "},                // 0x7F never trails a lead byte
        {GbkEncode("张阳"), -1, ""},
    };
    ImCode im;
    for (const auto &row : rows)
        EXPECT_EQ(im.Convert(row.gbk, row.flags), row.expected) << row.gbk.toHex().toStdString();
}

// Every surname of the order, and others that read differently as surnames, against the dictionaries' surname
// readings (a line per character: the character, a blank, its reading).
TEST(CaseTreeText, EverySurnameSortsUnderTheInitialOfItsSurnameReading)
{
    QFile f(QStringLiteral(QUORIN_TEST_DATA "/mainwin/surname_readings.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString &order = CaseTreeText::SurnameOrder();
    ASSERT_EQ(order.size(), 434);
    QString read;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        const QChar c = line.at(0);
        const QChar initial = line.normalized(QString::NormalizationForm_D).at(2).toUpper(); // Ōu gives O
        const int rank = order.indexOf(c) + 1; // the first occurrence counts (尹 and 辛 come twice)
        EXPECT_EQ(CaseTreeText::SurnameRank(c), rank) << line.toStdString();
        EXPECT_EQ(CaseTreeText::SurnameKey(QString(c) + "某"), initial.unicode() * 1000 + rank) << line.toStdString();
        read += c;
    }
    for (const QChar c : order)
        EXPECT_TRUE(read.contains(c)) << "no reading for " << QString(c).toStdString();
    EXPECT_EQ(CaseTreeText::SurnameKey("练"), 'L' * 1000); // not in the order: its initial alone
    EXPECT_EQ(CaseTreeText::SurnameKey(""), 0);
}

TEST(CaseTreeText, CaptionsAndSortOrders)
{
    auto rec = [](int id, const char *name, int year, int item) {
        TRecordData r;
        r.id = id;
        r.name = QString::fromUtf8(name);
        r.buildYear = int16_t(year);
        r.mountain = uint8_t(item);
        return r;
    };
    const struct {
        TRecordData rec;
        const char *caption;
    } captions[] = {
        {rec(1, "张三", 2004, 5), "张三    八运  子山午向"},
        {rec(1, "张三", 2004, 4), "张三    八运  子山兼壬"},
        {rec(1, "张三", 2004, 6), "张三    八运  子山兼癸"},
        {rec(1, "Al", 1864, 0), "Al      一运  壬山兼亥"},
        {rec(1, "欧阳修文", 43, 95), "欧阳修文亥山巳向"},
        {rec(1, "欧阳修文", 3001, 94), "欧阳修文三运  亥山兼壬"},
        {rec(1, "欧阳修文", 10000, 94), "欧阳修文亥山兼壬"},
    };
    for (const auto &c : captions)
        EXPECT_EQ(CaseTreeText::Caption(c.rec), QString::fromUtf8(c.caption));

    // In id order: 1 李 2000, 2 赵 2000, 3 王 1990, 4 赵 2010, 5 赵 2000, 6 练 2000.
    const TRecordData cases[] = {rec(1, "李", 2000, 0), rec(2, "赵", 2000, 0), rec(3, "王", 1990, 0),
                                 rec(4, "赵", 2010, 0), rec(5, "赵", 2000, 0), rec(6, "练", 2000, 0)};
    const struct {
        int sort;
        std::vector<int> ids;
    } sorts[] = {
        {SortNone, {1, 2, 3, 4, 5, 6}},
        {SortDateDown, {4, 6, 1, 2, 5, 3}},   // equal years: surname keys ascend (练 L, 李 L4, 赵 Z1)
        {SortDateUp, {3, 6, 1, 2, 5, 4}},
        {SortSurnameUp, {6, 1, 3, 4, 2, 5}},  // equal surnames: newest first, then the order they came in
        {SortSurnameDown, {4, 2, 5, 3, 1, 6}},
    };
    for (const auto &s : sorts) {
        std::vector<TCusTreeItem> items;
        for (const TRecordData &r : cases)
            items.push_back(CaseTreeText::MakeItem(r, s.sort));
        CaseTreeText::SortItems(items, s.sort);
        std::vector<int> ids;
        for (const TCusTreeItem &item : items)
            ids.push_back(item.id);
        EXPECT_EQ(ids, s.ids) << "sort " << s.sort;
    }
}

TEST(CaseComment, FileNameSkipsTakenNamesAndTextLosesQuotes)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QDir().mkpath(folder + "Quorin_f");
    TRecordData r;
    r.name = QStringLiteral("张三%1");
    r.date = {1980, 5, 6, 7, 8};
    const char *const expected[] = {"张三%1_198005060708", "张三%1_198005060708_0", "张三%1_198005060708_1"};
    for (const char *name : expected) {
        QString got;
        NewRemarkFileName(folder, r, got);
        EXPECT_EQ(got, QString::fromUtf8(name));
        QFile(folder + "Quorin_f/" + got + ".rtf").open(QIODevice::WriteOnly);
    }
    QTextEdit pane;
    pane.setPlainText(QStringLiteral("it's 旺山'旺向\n第二行"));
    EXPECT_EQ(CommentText(&pane), QStringLiteral("its 旺山旺向\n第二行"));
}

class CaseTreeWindowTest : public ProgramFolderTest {
protected:
    std::unique_ptr<TFrmMain> open()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        return w;
    }
    QAction *action(TFrmMain &w, const char *name) { return w.findChild<QAction *>(QString::fromLatin1(name)); }
    static QStringList topTexts(QTreeWidget *tree)
    {
        QStringList texts;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            texts << tree->topLevelItem(i)->text(0) + "/" + QString::number(tree->topLevelItem(i)->childCount());
        return texts;
    }
    void saveCases(const QList<std::tuple<const char *, const char *, int>> &cases)
    {
        MRecordBase db(path(""));
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(path(""))), 0);
        for (const auto &[name, category, year] : cases) {
            TRecordData r;
            r.name = QString::fromUtf8(name);
            r.className = QString::fromUtf8(category);
            r.buildYear = int16_t(year);
            ASSERT_GT(db.InsertCase(r), 0);
        }
    }
    // Closes the window, answering its questions with `answers`.
    void closeWith(TFrmMain &w, std::initializer_list<Answer> answers)
    {
        for (Answer a : answers)
            prompts.reply(a);
        w.close();
    }
};

TEST_F(CaseTreeWindowTest, GroupsCasesAndRedisplaysInEachStyle)
{
    saveCases({{"李四", "小区套房", 1990},
               {"赵一", "私人别墅", 2000},
               {"王五", "小区套房", 2010},
               {"钱二", "我的分类", 2000},
               {"孙三", "私人别墅", 1980}});
    auto w = open();
    auto *tree = find<QTreeWidget>(w.get(), "Tree");
    // Listed categories with cases, in list order; a category the list lacks comes last.
    EXPECT_EQ(topTexts(tree), (QStringList{"私人别墅/2", "小区套房/2", "我的分类/1"}));
    EXPECT_EQ(w->Tree().ShownIds(), (QList<int>{5, 2, 3, 1, 4}));
    EXPECT_EQ(action(*w, "pMenuRecord")->text(), "【 5 条案例】");
    EXPECT_EQ(w->Tree().CategoryNames(), (QStringList{"私人别墅", "小区套房", "我的分类"}));
    EXPECT_EQ(w->Tree().IdOf(tree->topLevelItem(0)), -1);
    EXPECT_EQ(w->Tree().IdOf(w->Tree().NodeOf(3)), 3);
    EXPECT_EQ(w->Tree().NodeOf(3)->text(0), "王五    八运  壬山兼亥");
    EXPECT_EQ(w->Tree().NodeOf(99), nullptr);

    const struct {
        const char *item;
        QList<int> ids;
    } steps[] = {
        {"N38", {5, 2, 3, 1, 4}}, // one list, in the order shown before
        {"N40", {3, 4, 2, 1, 5}}, // newest first; in 2000 钱 (Q) before 赵 (Z)
        {"az1", {1, 4, 5, 3, 2}}, // 李 钱 孙 王 赵
        {"N37", {5, 2, 1, 3, 4}}, // grouped again, each category in surname order
    };
    for (const auto &step : steps) {
        action(*w, step.item)->trigger();
        EXPECT_EQ(w->Tree().ShownIds(), step.ids) << step.item;
        EXPECT_TRUE(action(*w, step.item)->isChecked());
    }
    EXPECT_EQ(tree->topLevelItemCount(), 3);
    closeWith(*w, {Answer::Yes});
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(CaseTreeWindowTest, StartShowsTheNewestThousandAndNotesTheTotal)
{
    ASSERT_EQ(MakeCaseFile(path(""), 1500), 1500);
    auto w = open();
    QList<int> ids = w->Tree().ShownIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids.size(), 1000);
    EXPECT_EQ(ids.front(), 501);
    EXPECT_EQ(ids.back(), 1500);
    EXPECT_TRUE(find<QTextEdit>(w.get(), "RedtPingYu")->toPlainText().endsWith(
        "\n\n案例总数大致：1500个，可以在树表上按鼠标右键，点击“显示全部案例”！"));
    EXPECT_FALSE(w->TreeBusy());
    closeWith(*w, {Answer::Yes}); // the note is the program's: nothing of a new case to offer for saving
    EXPECT_EQ(prompts.unexpected(), 0);
}

// Pictures of the tree and its popup menu for people to look at: 40 cases in nine categories.
TEST_F(CaseTreeWindowTest, WritesPicturesOfTheTree)
{
    ASSERT_EQ(MakeCaseFile(path(""), 40), 40);
    auto w = open();
    w->resize(1000, 700);
    auto *tree = find<QTreeWidget>(w.get(), "Tree");
    tree->expandAll();
    tree->setCurrentItem(w->Tree().NodeOf(38));
    EXPECT_TRUE(w->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casetree_window.png")));
    tree->resize(260, 640);
    EXPECT_TRUE(tree->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casetree_grouped.png")));
    action(*w, "az1")->trigger();
    action(*w, "N38")->trigger();
    tree->resize(260, 640);
    EXPECT_TRUE(tree->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casetree_list.png")));
    auto *menu = w->findChild<QMenu *>("PopTree");
    menu->popup(QPoint(0, 0));
    EXPECT_TRUE(menu->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casetree_menu.png")));
    auto *style = w->findChild<QMenu *>("pMenuShowStyle");
    style->popup(QPoint(0, 0));
    EXPECT_TRUE(style->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casetree_style_menu.png")));
    style->hide();
    menu->hide();
    closeWith(*w, {Answer::Yes});
}

// 100,000 cases load on the loader thread. Meanwhile a second thread posts an event to the window every 20 ms and the
// window notes how late each one is handled.
TEST_F(CaseTreeWindowTest, AllCasesLoadOnTheThreadWhileTheWindowStaysResponsive)
{
    ASSERT_EQ(MakeCaseFile(path(""), 100000), 100000);
    auto w = open();
    const QString title = w->windowTitle();
    QStringList progress; // the captions counting down the cases still to place
    QObject::connect(w.get(), &QWidget::windowTitleChanged, w.get(), [&](const QString &t) {
        bool number = false;
        t.toInt(&number);
        if (number)
            progress << t;
    });
    prompts.reply(Answer::Ok); // 记录总数有点多
    action(*w, "pop_s_full")->trigger();
    EXPECT_TRUE(w->TreeBusy());
    EXPECT_EQ(w->windowTitle(), "加载.....");
    prompts.reply(Answer::Ok);
    EXPECT_TRUE(w->RefuseWhileTreeLoads());
    EXPECT_EQ(prompts.asked().last().text, "请等待案例加载完毕！");
    prompts.reply(Answer::Ok);
    action(*w, "N38")->trigger(); // the style menu is refused too, and keeps its check
    EXPECT_TRUE(action(*w, "N37")->isChecked());

    std::atomic_bool probing{true};
    qint64 worstMs = 0;
    int handled = 0;
    std::thread prober([&] {
        while (probing) {
            QElapsedTimer posted;
            posted.start();
            QMetaObject::invokeMethod(w.get(), [&, posted] {
                worstMs = std::max(worstMs, posted.elapsed());
                ++handled;
            }, Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(!w->TreeBusy(), 60000);
    probing = false;
    prober.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->Tree().Count(), 100000);
    EXPECT_EQ(action(*w, "pMenuRecord")->text(), "【 100000 条案例】");
    EXPECT_EQ(w->windowTitle(), title);
    ASSERT_GT(progress.size(), 100);
    EXPECT_EQ(progress.first(), "99500");
    EXPECT_EQ(progress.last(), "0");
    EXPECT_GT(handled, 5);
    RecordProperty("worst_ms", int(worstMs));
    RecordProperty("events", handled);
    EXPECT_LT(worstMs, 100) << handled << " events";

    // Closing during a load: No keeps the window open and loading, Yes stops the loader and closes.
    prompts.reply(Answer::Ok);
    action(*w, "pop_s_full")->trigger();
    ASSERT_TRUE(w->TreeBusy());
    closeWith(*w, {Answer::No, Answer::Ok});
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(prompts.asked().last().text, "请等待案例加载完毕！");
    closeWith(*w, {Answer::Yes, Answer::Yes});
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->TreeBusy());
    EXPECT_EQ(prompts.unexpected(), 0);
}

// The load may end while the closing question waits for its answer (its dialog runs the event loop): a Yes
// then goes on to the closing question as usual.
TEST_F(CaseTreeWindowTest, ALoadThatEndsWhileTheClosingQuestionWaitsStillCloses)
{
    ASSERT_EQ(MakeCaseFile(path(""), 5000), 5000);
    auto w = open();
    struct AnsweredAfterTheLoad : ScriptedPrompts {
        TFrmMain *window = nullptr;
        Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                       std::optional<Answer> defaultAnswer) override
        {
            QElapsedTimer waited;
            waited.start();
            while (text == QStringLiteral("是否停止显示案例？") && window->TreeBusy() && waited.elapsed() < 60000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            return ScriptedPrompts::message(title, text, icon, buttons, defaultAnswer);
        }
    } answers;
    answers.window = w.get();
    answers.reply(Answer::Ok).reply(Answer::Yes).reply(Answer::Yes);
    action(*w, "pop_s_full")->trigger();
    ASSERT_TRUE(w->TreeBusy());
    EXPECT_TRUE(w->close());
    QStringList texts;
    for (const auto &q : answers.asked())
        texts << q.text;
    EXPECT_EQ(texts.mid(1), (QStringList{"是否停止显示案例？", "确定要关闭软件吗？"}));
    EXPECT_EQ(answers.unexpected(), 0);
}

} // namespace
