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
// or buttons in it. A window beyond the steps is a fault: it is answered with Esc so that nothing waits. Only the
// innermost one in scope answers; the fixture's own, with no steps, stands for every window a test does not expect.
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
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
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

// The windows of the road itself before any save question: 确定要关闭软件吗 and the search's keywords, which the
// scripted prompts answer unless `real`, and the search's list of results.
std::vector<Step> RoadWindows(Road road, bool real)
{
    std::vector<Step> steps;
    if (real && road == Road::Close)
        steps.push_back(Click(QMessageBox::Yes));
    if (real && road == Road::Search) {
        steps.push_back([](QWidget *input) {
            auto *dlg = qobject_cast<QInputDialog *>(input);
            ASSERT_NE(dlg, nullptr);
            dlg->setTextValue(QStringLiteral("李四"));
            QTest::keyClick(dlg, Qt::Key_Return);
        });
    }
    if (road == Road::Search)
        steps.push_back([](QWidget *list) { QTest::mouseClick(find<QPushButton>(list, "BtnSee"), Qt::LeftButton); });
    return steps;
}

class CaseQuestionsTest : public CaseWindowTest {
protected:
    void SetUp() override
    {
        CaseWindowTest::SetUp();
        storeCases({{"张三", 5, 2004, "私人别墅"}, {"李四", 5, 2004, "私人别墅"}}); // 子山午向 at 0:00
    }
    std::unique_ptr<TFrmMain> openFirstCase(bool roundChart = false)
    {
        auto w = open();
        if (roundChart)
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
    // The questions asked since `from` but for the road's own (确定要关闭软件吗, the search's keywords).
    QStringList askedLeaving(Road road, qsizetype from) const
    {
        QStringList texts;
        for (qsizetype i = from; i < prompts.asked().size(); ++i)
            texts << prompts.asked().at(i).text;
        return texts.mid(road == Road::Close || road == Road::Search ? 1 : 0);
    }

    void take(TFrmMain &w, Road road)
    {
        switch (road) {
        case Road::Tree: doubleClickCase(w, 2); break;
        case Road::New: QTest::mouseClick(find<QPushButton>(&w, "BtoNew"), Qt::LeftButton); break;
        case Road::Search: w.findChild<QAction *>(QStringLiteral("N43"))->trigger(); break;
        case Road::Close: w.close(); break;
        }
    }
    // Takes the road with the scripted `answers` to what it asks, 确定要关闭软件吗 answered Yes first and 新建's own
    // question answered Yes when no save question is expected.
    void leave(TFrmMain &w, Road road, const QList<Answer> &answers)
    {
        if (road == Road::Close || (road == Road::New && answers.isEmpty()))
            prompts.reply(Answer::Yes);
        if (road == Road::Search)
            prompts.reply(QStringLiteral("李四"));
        for (Answer a : answers)
            prompts.reply(a);
        Answering list(RoadWindows(road, false));
        take(w, road);
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

// One correction of an opened case's house, laid out again with 布宅局: `text` typed into a box, a combo's next
// item taken with the keys, a radio button clicked, or the house turned on the round chart (Img1).
struct Correction {
    const char *what;
    const char *control;
    const char *text = nullptr;
};
const Correction kCorrections[] = {
    {"周天度", "LedtZtd", "2:30"}, {"坐山", "CboZuoShan"},    {"建宅年", "EdtYear", "1995"},
    {"元运", "CboYuanYun"},         {"替卦", "RdoTi"},          {"宅门", "CboMen"},
    {"宅主", "EdtName", "张三丰"},  {"生年", "LedtShengNian", "1985"}, {"性别", "Rdonv"},
    {"turned on the chart", "Img1"},
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

// Each correction laid out is asked about on every road away, and asked again after each answer that stays:
// 取消 keeps the case open with the corrected house and nothing stored, as does 是 whose save fails; then 否
// drops the correction, and 是 saves it as 存旧 does, the stored row reading back the house shown; both go on.
TEST_F(CaseQuestionsTest, AHouseCorrectedIsAskedAboutOnEveryRoadAndEachAnswerDoesWhatItSays)
{
    struct Refuse : CaseFileOps {
        bool step(const char *) override { return false; }
    } refuse;
    const struct Attempt {
        const char *what;
        QList<Answer> answers; // 是 is followed by 要修改“张三”这条记录吗 and the save's message
        bool saveFails;
        QStringList asked; // each the start of a question
        bool goesOn;
    } cancel{"取消", {Answer::Cancel}, false, {kHouseQuestion}, false},
        failed{"是, the save failing", {Answer::Yes, Answer::Yes, Answer::Ok}, true,
               {kHouseQuestion, "要修改“张三”这条记录吗？", "无法修改案例！"}, false},
        no{"否", {Answer::No}, false, {kHouseQuestion}, true},
        yes{"是", {Answer::Yes, Answer::Yes, Answer::Ok}, false,
            {kHouseQuestion, "要修改“张三”这条记录吗？", "已保存编辑后的案例。"}, true};
    const TRecordData first = stored(1);
    const House original = HouseOf(first);
    for (const Correction &c : kCorrections) {
        for (const Road road : kRoads) {
            for (const Attempt *last : {&no, &yes}) {
                store(1, first);
                auto w = openFirstCase(true);
                Correct(*w, c);
                ASSERT_TRUE(w->ChartValid());
                const House shown = ChartHouse(*w);
                ASSERT_NE(shown, original);
                for (const Attempt *a : {&cancel, &failed, last}) {
                    SCOPED_TRACE(std::string(c.what) + ", " + kRoadNames[int(road)] + ", " + a->what);
                    const qsizetype before = prompts.asked().size();
                    CaseDb()->SetFileOps(a->saveFails ? &refuse : nullptr);
                    leave(*w, road, a->answers);
                    CaseDb()->SetFileOps(nullptr);
                    const QStringList asked = askedLeaving(road, before);
                    ASSERT_EQ(asked.size(), a->asked.size()) << asked.join('|').toStdString();
                    for (qsizetype i = 0; i < asked.size(); ++i)
                        EXPECT_TRUE(asked[i].startsWith(a->asked[i])) << asked[i].toStdString();
                    EXPECT_EQ(prompts.asked().at(prompts.asked().size() - asked.size()).buttons,
                              Prompts::Buttons::YesNoCancel);
                    EXPECT_EQ(wentOn(*w, road), a->goesOn);
                    if (!a->goesOn) {
                        EXPECT_TRUE(w->isVisible() && w->CaseOpen() && w->OpenCaseId() == 1 && w->ChartValid());
                        EXPECT_EQ(ChartHouse(*w), shown);
                    }
                    EXPECT_EQ(HouseOf(stored(1)), a == &yes ? shown : original);
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
        const qsizetype before = prompts.asked().size();
        leave(*w, road, {});
        EXPECT_EQ(askedLeaving(road, before).filter(QStringLiteral("要保存吗")), QStringList());
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

// The real question box on every road, for a new case and for an opened case corrected: its buttons read 是, 否
// and 取消; 取消, Esc or closing the box by its frame keeps everything, 否 takes the road; it is asked once. The
// first box over an opened case is kept for looking at: test_case_questions_gui.png in the test output folder.
TEST_F(CaseQuestionsTest, TheRealQuestionBoxIsAskedOnceAndItsWaysBackKeepEverything)
{
    const struct {
        const char *what;
        Step answer;
        bool goesOn;
    } ways[] = {
        {"取消", Click(QMessageBox::Cancel), false},
        {"Esc", PressEsc, false},
        {"box closed", [](QWidget *box) { box->close(); }, false},
        {"否", Click(QMessageBox::No), true},
    };
    bool shot = false;
    for (const bool opened : {false, true}) {
        for (const Road road : kRoads) {
            for (const auto &way : ways) {
                SCOPED_TRACE(std::string(opened ? "opened case, " : "new case, ") + kRoadNames[int(road)] + ", " +
                             way.what);
                std::unique_ptr<TFrmMain> w;
                if (opened) {
                    w = openFirstCase();
                    TypeOver(find<QLineEdit>(w.get(), "EdtYear"), "1995");
                    LayOut(*w);
                } else {
                    w = enterNewCase();
                }
                QStringList buttons;
                QStringList texts;
                {
                    RealPrompts real;
                    std::vector<Step> steps = RoadWindows(road, true);
                    steps.push_back([&](QWidget *box) {
                        for (QAbstractButton *b : static_cast<QMessageBox *>(box)->buttons())
                            buttons << b->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
                        if (opened && !std::exchange(shot, true)) {
                            QImage image = w->grab().toImage();
                            const QPixmap boxImage = box->grab();
                            QPainter(&image).drawPixmap((image.width() - boxImage.width()) / 2,
                                                        (image.height() - boxImage.height()) / 2, boxImage);
                            EXPECT_TRUE(image.save(QStringLiteral(QUORIN_TEST_OUTPUT "/test_case_questions_gui.png")));
                        }
                        way.answer(box);
                    });
                    Answering answering(steps);
                    take(*w, road);
                    texts = answering.texts();
                }
                EXPECT_EQ(texts.filter(QStringLiteral("要保存吗")), QStringList{opened ? kHouseQuestion : kUnsaved});
                buttons.sort();
                EXPECT_EQ(buttons, (QStringList{"取消", "否", "是"}));
                EXPECT_EQ(wentOn(*w, road), way.goesOn);
                if (!way.goesOn && opened)
                    EXPECT_TRUE(w->isVisible() && w->OpenCaseId() == 1 && w->CurrentRecord().buildYear == 1995);
                if (!way.goesOn && !opened)
                    EXPECT_TRUE(newCaseKept(*w));
                EXPECT_EQ(stored(1).buildYear, 2004);
                closeWindow(*w);
            }
        }
    }
}
