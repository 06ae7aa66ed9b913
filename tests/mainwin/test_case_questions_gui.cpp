// The questions asked before the case on screen is left, driven as the user does: a house corrected and laid out
// again is asked about on every road away, a save stores what the boxes show, and every save question has a way
// back (取消, Esc, closing the box).
#include "GuiTestSupport.h"

#include "CaseFileOps.h"
#include "ChartInputs.h"
#include "MQuorin.h"
#include "TImage.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <tuple>

using Answer = Prompts::Answer;
using Step = std::function<void(QWidget *)>;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// The roads away from the case on screen: another case from the tree, 新建, a search result, closing.
enum class Road { Tree, New, Search, Close };
const Road kRoads[] = {Road::Tree, Road::New, Road::Search, Road::Close};
const char *const kRoadNames[] = {"tree", "新建", "search", "close"};

const QString kHouseQuestion = QStringLiteral("当前案例宅局已改变，要保存吗？");
const QString kUnsaved = QStringLiteral("当前案例尚未保存，要保存吗？");
const QString kUpdate = QStringLiteral("要修改“张三”这条记录吗？");

// What of a case makes its house: owner, sex, birth year, building year, sitting item, degree as shown, 下卦, door.
using House = std::tuple<QString, int, int, int, int, QString, int, int>;
House HouseOf(const TRecordData &r)
{
    return {r.name, r.sex, r.date.year, r.buildYear, r.mountain, ChartInputs::DegreeText(r.degree), r.xiaGua, r.door};
}
// The house the chart shows; none once the window has closed.
House ChartHouse(TFrmMain &w) { return w.Quorin() ? HouseOf(w.Quorin()->Rec) : House{}; }

QTextEdit *Comments(TFrmMain &w) { return find<QTextEdit>(&w, "RedtPingYu"); }
void LayOut(TFrmMain &w) { QTest::mouseClick(find<QPushButton>(&w, "BtnPai"), Qt::LeftButton); }

// The program's own message boxes for the length of a scope, in place of the scripted answers.
struct RealPrompts {
    Prompts *scripted = Prompts::setInstance(nullptr);
    ~RealPrompts() { Prompts::setInstance(scripted); }
};

// Answers the modal windows that appear, in turn, as the user does: each step gets the window and presses keys
// or buttons in it. A window beyond the steps, or one still showing two seconds after its step, is a fault: it is
// answered with Esc or closed so that nothing waits. Only the innermost one in scope answers; the fixture's own,
// with no steps, stands for every window a test does not expect.
class Answering {
public:
    explicit Answering(std::vector<Step> steps = {}) : m_steps(std::move(steps)), m_outer(s_inner)
    {
        s_inner = this;
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (s_inner == this)
                poll();
        });
        m_poll.start(5);
    }
    ~Answering()
    {
        s_inner = m_outer;
        EXPECT_EQ(m_next, m_steps.size()) << "fewer windows than answers";
    }
    const QStringList &texts() const { return m_texts; } // of the message boxes answered

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal == m_last && m_since.hasExpired(2000)) {
            ADD_FAILURE() << "a window left waiting: " << modal->windowTitle().toStdString();
            if (auto *dlg = qobject_cast<QDialog *>(modal))
                dlg->reject();
            else
                modal->close();
        }
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        m_since.start();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            m_texts << box->text();
        if (m_next >= m_steps.size()) {
            ADD_FAILURE() << "an unexpected window: " << modal->windowTitle().toStdString();
            QTest::keyClick(modal, Qt::Key_Escape);
            return;
        }
        m_steps[m_next++](modal);
    }

    static inline Answering *s_inner = nullptr;
    std::vector<Step> m_steps;
    Answering *m_outer;
    size_t m_next = 0;
    QPointer<QWidget> m_last;
    QElapsedTimer m_since;
    QStringList m_texts;
    QTimer m_poll;
};

void PressEsc(QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); }
Step Click(QMessageBox::StandardButton which)
{
    return [which](QWidget *box) {
        auto *button = static_cast<QMessageBox *>(box)->button(which);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

// The windows of the road itself before any save question, answered to go on: 确定要关闭软件吗, 新建's own question
// when no save question comes first, the search's keywords and its list of results.
std::vector<Step> RoadWindows(Road road, bool saveQuestion)
{
    if (road == Road::Close || (road == Road::New && !saveQuestion))
        return {Click(QMessageBox::Yes)};
    if (road != Road::Search)
        return {};
    return {[](QWidget *input) {
                auto *dlg = qobject_cast<QInputDialog *>(input);
                ASSERT_NE(dlg, nullptr);
                dlg->setTextValue(QStringLiteral("李四"));
                QTest::keyClick(dlg, Qt::Key_Return);
            },
            [](QWidget *list) { QTest::mouseClick(find<QPushButton>(list, "BtnSee"), Qt::LeftButton); }};
}

class CaseQuestionsTest : public CaseWindowTest {
protected:
    void SetUp() override
    {
        CaseWindowTest::SetUp();
        storeCases({{"张三", 5, 2004, "私人别墅"}, {"李四", 5, 2004, "私人别墅"}}); // 子山午向 at 0:00
    }
    // 张三's case opened from the tree on the round chart, which the pointer can turn.
    std::unique_ptr<TFrmMain> openFirstCase()
    {
        auto w = open();
        find<QRadioButton>(w.get(), "RdoPanShape_0")->click();
        doubleClickCase(*w, 1);
        EXPECT_TRUE(w->CaseOpen() && w->OpenCaseId() == 1 && w->ChartValid());
        return w;
    }
    // The case file as another program would read it, with the window open.
    TRecordData stored(int id)
    {
        MRecordBase db(path(""));
        TRecordData r;
        EXPECT_EQ(db.Open(MRecordBase::DefaultPath(path(""))), 0);
        EXPECT_TRUE(db.LoadCase(id, r));
        return r;
    }
    void store(int id, const TRecordData &r)
    {
        MRecordBase db(path(""));
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(path(""))), 0);
        ASSERT_TRUE(db.UpdateCase(id, r));
    }
    // Takes the road in the program's own boxes, answering them with `steps`; the texts of the boxes but for
    // 确定要关闭软件吗.
    QStringList leave(TFrmMain &w, Road road, std::vector<Step> steps)
    {
        RealPrompts real;
        Answering answering(steps);
        switch (road) {
        case Road::Tree: doubleClickCase(w, 2); break;
        case Road::New: QTest::mouseClick(find<QPushButton>(&w, "BtoNew"), Qt::LeftButton); break;
        case Road::Search: w.findChild<QAction *>(QStringLiteral("N43"))->trigger(); break;
        case Road::Close: w.close(); break;
        }
        return answering.texts().mid(road == Road::Close ? 1 : 0);
    }
    // Whether the road was taken: 李四's case open, a blank new case, or the window closed.
    static bool wentOn(TFrmMain &w, Road road)
    {
        switch (road) {
        case Road::Tree:
        case Road::Search: return w.OpenCaseId() == 2;
        case Road::New: return !w.CaseOpen() && !w.ChartValid() && Comments(w)->toPlainText() == "输入自己的评语：";
        case Road::Close: return !w.isVisible();
        }
        return false;
    }
    // Closes the window without saving whatever it shows.
    static void closeWindow(TFrmMain &w)
    {
        if (!w.isVisible())
            return;
        ScriptedPrompts closing; // answers only what is asked
        closing.reply(Answer::Yes).reply(Answer::No);
        EXPECT_TRUE(w.close());
    }

    // A new case laid out by hand for 王五 with a comment typed.
    std::unique_ptr<TFrmMain> enterNewCase()
    {
        auto w = open();
        EnterHouse(*w, "0:00", "2004", QStringLiteral("王五"), "1980");
        LayOut(*w);
        EXPECT_TRUE(w->ChartValid());
        TypeOver(Comments(*w), QStringLiteral("门开东南"));
        return w;
    }
    static bool newCaseKept(TFrmMain &w)
    {
        return w.isVisible() && !w.CaseOpen() && w.ChartValid() && Comments(w)->toPlainText() == "门开东南" &&
               w.CurrentRecord().name == "王五" && CaseDb()->GetPrimaryId() == 2;
    }

    Answering unexpected;
};

// A new case laid out by hand, or one correction of an opened case's house laid out again with 布宅局: `text` typed
// into a box, a combo's next item taken with the keys, a radio button clicked, or the house turned on the round
// chart (Img1).
struct Correction {
    const char *what;
    const char *control;
    const char *text = nullptr;
};
const Correction kChanges[] = {
    {"new case", nullptr},
    {"周天度", "LedtZtd", "2:30"}, {"坐山", "CboZuoShan"}, {"建宅年", "EdtYear", "1995"}, {"元运", "CboYuanYun"},
    {"替卦", "RdoTi"}, {"宅门", "CboMen"}, {"宅主", "EdtName", "张三丰"}, {"生年", "LedtShengNian", "1985"},
    {"性别", "Rdonv"}, {"turned on the chart", "Img1"},
};

void Correct(TFrmMain &w, const Correction &c)
{
    QWidget *control = find<QWidget>(&w, c.control);
    if (auto *chart = qobject_cast<TImage *>(control)) {
        // The round chart at 500 x 580, centre (250, 290): grabbed on the axis below the centre, turned.
        w.Quorin()->SetPanSize(500, 580, true);
        chart->resize(500, 580);
        QTest::mousePress(chart, Qt::LeftButton, {}, {250, 298});
        QTest::mouseMove(chart, {254, 298});
        QTest::mouseMove(chart, {258, 300});
        QTest::mouseRelease(chart, Qt::LeftButton, {}, {258, 300});
        return;
    }
    if (c.text) {
        TypeOver(control, QString::fromUtf8(c.text));
    } else if (qobject_cast<QComboBox *>(control)) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Down);
    } else {
        QTest::mouseClick(control, Qt::LeftButton);
    }
    LayOut(w);
}

} // namespace

// A new case laid out, and each correction of an opened case laid out, is asked about on every road away in the
// program's own box, whose buttons read 是, 否 and 取消, and asked again after each way back: 取消, Esc, closing the
// box by its frame, and 是 whose save fails keep the case on screen as it was and store nothing. Then 否 takes the
// road leaving the case file as it was, and 是 stores the house shown, as 存旧 does, and takes the road. The first
// box over an opened case is kept for looking at: test_case_questions_gui.png in the test output folder.
TEST_F(CaseQuestionsTest, ACaseChangedIsAskedAboutOnEveryRoadAndEachAnswerDoesWhatItSays)
{
    struct Refuse : CaseFileOps {
        bool step(const char *) override { return false; }
    } refuse;
    const Step yes = Click(QMessageBox::Yes), ok = Click(QMessageBox::Ok);
    const struct Way {
        const char *what;
        std::vector<Step> steps; // to the question, then to 要修改“张三”这条记录吗 and the save's message
        bool saveFails;
        QStringList after; // the start of each box's text after the question
        bool goesOn;
    } cancel{"取消", {Click(QMessageBox::Cancel)}, false, {}, false},
        esc{"Esc", {PressEsc}, false, {}, false},
        frame{"box closed", {[](QWidget *box) { box->close(); }}, false, {}, false},
        failed{"是, the save failing", {yes, yes, ok}, true, {kUpdate, "无法修改案例！"}, false},
        no{"否", {Click(QMessageBox::No)}, false, {}, true},
        saved{"是", {yes, yes, ok}, false, {kUpdate, "已保存编辑后的案例。"}, true};
    const TRecordData first = stored(1);
    const House original = HouseOf(first);
    bool shot = false;
    for (const Correction &change : kChanges) {
        const Correction *c = change.control ? &change : nullptr; // none for the new case
        for (const Road road : kRoads) {
            for (const Way *last : {&no, &saved}) {
                if (!c && last == &saved)
                    continue;
                store(1, first);
                auto w = c ? openFirstCase() : enterNewCase();
                if (c)
                    Correct(*w, *c);
                ASSERT_TRUE(w->ChartValid());
                const House shown = ChartHouse(*w);
                ASSERT_TRUE(!c || shown != original);
                std::vector<const Way *> ways{&cancel, &esc, &frame, &failed, last};
                if (!c)
                    ways.erase(ways.begin() + 3);
                for (const Way *way : ways) {
                    SCOPED_TRACE(std::string(change.what) + ", " + kRoadNames[int(road)] + ", " + way->what);
                    QStringList buttons;
                    std::vector<Step> steps = RoadWindows(road, true);
                    steps.push_back([&](QWidget *box) {
                        for (QAbstractButton *b : static_cast<QMessageBox *>(box)->buttons())
                            buttons << b->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
                        if (c && !std::exchange(shot, true)) {
                            QImage image = w->grab().toImage();
                            const QPixmap boxImage = box->grab();
                            QPainter(&image).drawPixmap((image.width() - boxImage.width()) / 2,
                                                        (image.height() - boxImage.height()) / 2, boxImage);
                            EXPECT_TRUE(image.save(QStringLiteral(QUORIN_TEST_OUTPUT "/test_case_questions_gui.png")));
                        }
                        way->steps.front()(box);
                    });
                    steps.insert(steps.end(), way->steps.begin() + 1, way->steps.end());
                    CaseDb()->SetFileOps(way->saveFails ? &refuse : nullptr);
                    const QStringList texts = leave(*w, road, steps);
                    CaseDb()->SetFileOps(nullptr);
                    const QStringList expected = QStringList{c ? kHouseQuestion : kUnsaved} + way->after;
                    ASSERT_EQ(texts.size(), expected.size()) << texts.join('|').toStdString();
                    for (qsizetype i = 0; i < texts.size(); ++i)
                        EXPECT_TRUE(texts[i].startsWith(expected[i])) << texts[i].toStdString();
                    buttons.sort();
                    EXPECT_EQ(buttons, (QStringList{"取消", "否", "是"}));
                    EXPECT_EQ(wentOn(*w, road), way->goesOn);
                    if (!way->goesOn && c) {
                        EXPECT_TRUE(w->isVisible() && w->CaseOpen() && w->OpenCaseId() == 1 && w->ChartValid());
                        EXPECT_EQ(ChartHouse(*w), shown);
                    }
                    if (!way->goesOn && !c)
                        EXPECT_TRUE(newCaseKept(*w));
                    EXPECT_EQ(HouseOf(stored(1)), way == &saved ? shown : original);
                }
                closeWindow(*w);
            }
        }
    }
}

// A house typed into the boxes but not laid out is no change to the case: the chart still shows the stored house,
// and every road goes on without a question.
TEST_F(CaseQuestionsTest, BoxesChangedButNotLaidOutAreLeftWithoutAQuestion)
{
    for (const Road road : kRoads) {
        SCOPED_TRACE(kRoadNames[int(road)]);
        auto w = openFirstCase();
        TypeOver(find<QLineEdit>(w.get(), "LedtZtd"), "2:30");
        TypeOver(find<QLineEdit>(w.get(), "EdtName"), QStringLiteral("张三丰"));
        EXPECT_EQ(leave(*w, road, RoadWindows(road, false)).filter(QStringLiteral("要保存吗")), QStringList());
        EXPECT_TRUE(wentOn(*w, road));
        EXPECT_EQ(stored(1).name, "张三");
        closeWindow(*w);
    }
}

// 存新 and 存旧 save what the boxes show: boxes changed after the lay-out are laid out again first, with the
// lay-out's checks; a box the lay-out refuses saves nothing.
TEST_F(CaseQuestionsTest, SavingStoresWhatTheBoxesShow)
{
    const struct {
        const char *box;
        const char *text;
        std::function<bool(const TRecordData &)> stored; // what the saved row holds; nothing is saved when null
    } rows[] = {
        {"EdtName", "   ", [](const TRecordData &r) { return r.name == "甲"; }},
        {"EdtName", "王五", [](const TRecordData &r) { return r.name == "王五"; }},
        {"EdtYear", "1995", [](const TRecordData &r) { return r.buildYear == 1995; }},
        {"LedtZtd", "2:30", [](const TRecordData &r) { return ChartInputs::DegreeText(r.degree) == "2:30"; }},
        {"LedtShengNian", "1985", [](const TRecordData &r) { return r.date.year == 1985; }},
        {"EdtYear", "30", nullptr},
    };
    const TRecordData first = stored(1);
    for (const auto &row : rows) {
        for (const bool opened : {false, true}) {
            SCOPED_TRACE(std::string(row.box) + " \"" + row.text + (opened ? "\", 存旧" : "\", 存新"));
            store(1, first);
            auto w = opened ? openFirstCase() : open();
            if (!opened) {
                EnterHouse(*w, "0:00", "2004", "Tmp", "1980");
                LayOut(*w);
                ASSERT_TRUE(w->ChartValid());
            }
            const int before = CaseDb()->GetPrimaryId();
            TypeOver(find<QLineEdit>(w.get(), row.box), QString::fromUtf8(row.text));
            if (!row.stored)
                prompts.reply(Answer::Ok); // the lay-out's message on the year
            else if (opened)
                prompts.reply(Answer::Yes).reply(Answer::Ok);
            const Step ok = [](QWidget *dlg) { QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton); };
            {
                Answering saveNew(row.stored && !opened ? std::vector<Step>{ok} : std::vector<Step>{});
                QTest::mouseClick(find<QToolButton>(w.get(), "SbtoSave"), Qt::LeftButton);
            }
            if (!row.stored) {
                EXPECT_EQ(prompts.asked().last().text, ChartInputs::YearErrorText(ChartInputs::YearError::BuildRange));
                EXPECT_EQ(CaseDb()->GetPrimaryId(), before);
                EXPECT_EQ(stored(1).buildYear, 2004);
                EXPECT_EQ(w->CaseOpen(), opened);
            } else {
                ASSERT_EQ(CaseDb()->GetPrimaryId(), opened ? before : before + 1);
                const TRecordData saved = stored(opened ? 1 : before + 1);
                EXPECT_TRUE(row.stored(saved)) << saved.name.toStdString() << " " << saved.buildYear;
                // The boxes and the chart show the case as stored.
                EXPECT_EQ(find<QLineEdit>(w.get(), "EdtName")->text(), saved.name);
                EXPECT_EQ(ChartHouse(*w), HouseOf(saved));
            }
            closeWindow(*w);
        }
    }
}
