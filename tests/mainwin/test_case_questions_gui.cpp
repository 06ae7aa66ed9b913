// The questions asked before the case on screen is left, driven as the user does: a house corrected and laid out
// again is asked about on every road away, a save stores what the boxes show, and every save question has a way
// back (取消, Esc, closing the box).
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "CaseFileOps.h"
#include "CaseTree.h"
#include "ChartInputs.h"
#include "MQuorin.h"
#include "MRecordBase.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QInputMethodEvent>
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
#include <QTreeWidget>

#include <functional>
#include <tuple>

using Answer = Prompts::Answer;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// The roads away from the case on screen: another case from the tree, 新建, a search result, closing.
enum class Road { Tree, New, Search, Close };
const Road kRoads[] = {Road::Tree, Road::New, Road::Search, Road::Close};

const char *RoadName(Road road)
{
    switch (road) {
    case Road::Tree: return "tree";
    case Road::New: return "新建";
    case Road::Search: return "search";
    case Road::Close: return "close";
    }
    return "";
}

const QString kHouseQuestion = QStringLiteral("当前案例宅局已改变，要保存吗？");
const QString kUnsaved = QStringLiteral("当前案例尚未保存，要保存吗？");
const QString kUpdate = QStringLiteral("要修改“张三”这条记录吗？");
const QString kUpdated = QStringLiteral("已保存编辑后的案例。");
const QString kPlaceholder = QStringLiteral("输入自己的评语：");

// What of a case makes its house: owner, sex, birth year, building year, sitting item, degree as shown, 下卦, door.
using House = std::tuple<QString, int, int, int, int, QString, int, int>;
House HouseOf(const TRecordData &r)
{
    return {r.name, r.sex, r.date.year, r.buildYear, r.mountain, ChartInputs::DegreeText(r.degree), r.xiaGua, r.door};
}

// The house the chart shows; none once the window has closed.
House ChartHouse(TFrmMain &w)
{
    return w.Quorin() ? HouseOf(w.Quorin()->Rec) : House{};
}

// The program's own message boxes for the length of a scope, in place of the scripted answers.
struct RealPrompts {
    Prompts *scripted = Prompts::setInstance(nullptr);
    ~RealPrompts() { Prompts::setInstance(scripted); }
};

// Answers the modal windows that appear, in turn, as the user does: each step gets the window and presses keys
// or buttons in it. A window beyond the steps is a fault: it is answered with Esc so that nothing waits.
class Answering {
public:
    explicit Answering(std::vector<std::function<void(QWidget *)>> steps) : m_steps(std::move(steps))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start(5);
    }
    ~Answering() { EXPECT_EQ(m_next, m_steps.size()) << "fewer windows than answers"; }
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

    std::vector<std::function<void(QWidget *)>> m_steps;
    size_t m_next = 0;
    QPointer<QWidget> m_last;
    QStringList m_texts;
    QTimer m_poll;
};

// Closes a modal window that nobody answers within two seconds, as a fault: a test never waits for the user.
class Watchdog {
public:
    Watchdog()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal != m_seen) {
                m_seen = modal;
                m_ticks = 0;
                return;
            }
            if (++m_ticks < 4)
                return;
            ADD_FAILURE() << "a window left waiting: " << modal->windowTitle().toStdString();
            if (auto *dlg = qobject_cast<QDialog *>(modal))
                dlg->reject();
            else
                modal->close();
        });
        m_poll.start(500);
    }

private:
    QTimer m_poll;
    QPointer<QWidget> m_seen;
    int m_ticks = 0;
};

// Steps of Answering.
void PressEsc(QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); }
void ClickYes(QWidget *box)
{
    auto *yes = static_cast<QMessageBox *>(box)->button(QMessageBox::Yes);
    ASSERT_NE(yes, nullptr);
    QTest::mouseClick(yes, Qt::LeftButton);
}
void CloseBox(QWidget *box) { box->close(); } // the frame's close button

class CaseQuestionsTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        MRecordBase db(path(""));
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(path(""))), 0);
        for (const char *name : {"张三", "李四"}) {
            TRecordData r;
            r.name = QString::fromUtf8(name);
            r.className = QStringLiteral("私人别墅");
            r.buildYear = 2004;
            r.mountain = 5; // 子山午向 at 0:00
            r.date = {1980, 5, 6, 7, 8};
            r.remarkFile = r.name;
            ASSERT_GT(db.InsertCase(r), 0);
        }
    }
    // Every test answers each question it causes, and no more.
    void TearDown() override
    {
        EXPECT_EQ(prompts.unexpected(), 0);
        ProgramFolderTest::TearDown();
    }

    std::unique_ptr<TFrmMain> open(bool roundChart = false)
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get())); // the tree laid out, for the pointer
        if (roundChart)
            find<QRadioButton>(w.get(), "RdoPanShape_0")->click();
        return w;
    }
    // The case file as another program would read it, with or without a window open.
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
    QStringList askedSince(qsizetype from) const
    {
        QStringList texts;
        for (qsizetype i = from; i < prompts.asked().size(); ++i)
            texts << prompts.asked().at(i).text;
        return texts;
    }
    std::optional<Prompts::Buttons> lastButtons() const
    {
        return prompts.asked().isEmpty() ? std::nullopt : std::optional(prompts.asked().last().buttons);
    }
    Watchdog watchdog;
    QTextEdit *comments(TFrmMain &w) { return find<QTextEdit>(&w, "RedtPingYu"); }

    // A click on the case's node, then a double click.
    void doubleClickCase(TFrmMain &w, int id)
    {
        auto *tree = find<QTreeWidget>(&w, "Tree");
        tree->expandAll();
        QApplication::processEvents(); // the rows laid out as expanded
        // On the row's text near its start: a narrow tree shows only the start of a long row.
        const QRect rect = tree->visualItemRect(w.Tree().NodeOf(id));
        const QPoint row(qMin(rect.center().x(), rect.left() + 12), rect.center().y());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, row);
    }
    void openFirstCase(TFrmMain &w)
    {
        doubleClickCase(w, 1);
        ASSERT_TRUE(w.CaseOpen() && w.OpenCaseId() == 1 && w.ChartValid()) << askedSince(0).join('|').toStdString();
    }
    void layOut(TFrmMain &w) { QTest::mouseClick(find<QPushButton>(&w, "BtnPai"), Qt::LeftButton); }

    // Takes the road with the scripted `answers` to what it asks, 确定要关闭软件吗 answered Yes first and 新建's own
    // question answered Yes when no save question is expected.
    void leave(TFrmMain &w, Road road, std::initializer_list<Answer> answers)
    {
        if (road == Road::Close || (road == Road::New && answers.size() == 0))
            prompts.reply(Answer::Yes);
        if (road == Road::Search)
            prompts.reply(QStringLiteral("李四"));
        for (Answer a : answers)
            prompts.reply(a);
        switch (road) {
        case Road::Tree: doubleClickCase(w, 2); break;
        case Road::New: QTest::mouseClick(find<QPushButton>(&w, "BtoNew"), Qt::LeftButton); break;
        case Road::Search:
            WithModalDialog([&] { w.findChild<QAction *>(QStringLiteral("N43"))->trigger(); },
                            [](QWidget *list) { QTest::mouseClick(find<QPushButton>(list, "BtnSee"), Qt::LeftButton); });
            break;
        case Road::Close: w.close(); break;
        }
    }
    // Whether the road was taken: 李四's case open, a blank new case, or the window closed.
    bool wentOn(TFrmMain &w, Road road)
    {
        switch (road) {
        case Road::Tree:
        case Road::Search: return w.OpenCaseId() == 2;
        case Road::New: return !w.CaseOpen() && !w.ChartValid() && comments(w)->toPlainText() == kPlaceholder;
        case Road::Close: return !w.isVisible();
        }
        return false;
    }
    // The questions asked on the road but for its own (确定要关闭软件吗, the search's keywords).
    QStringList questionsOfLeaving(Road road, qsizetype from) const
    {
        return askedSince(from).mid(road == Road::Close || road == Road::Search ? 1 : 0);
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
    void enterNewCase(TFrmMain &w)
    {
        TypeOver(find<QLineEdit>(&w, "EdtName"), QStringLiteral("王五"));
        TypeOver(find<QLineEdit>(&w, "EdtYear"), QStringLiteral("2004"));
        TypeOver(find<QLineEdit>(&w, "LedtShengNian"), QStringLiteral("1980"));
        layOut(w);
        ASSERT_TRUE(w.ChartValid());
        TypeOver(comments(w), QStringLiteral("门开东南"));
    }
    bool newCaseKept(TFrmMain &w)
    {
        return w.isVisible() && !w.CaseOpen() && w.ChartValid() && comments(w)->toPlainText() == "门开东南" &&
               w.CurrentRecord().name == "王五" && CaseDb()->GetPrimaryId() == 2;
    }
};

// One correction of an opened case's house: a box changed with the keys or the pointer and 布宅局 pressed, or
// the house turned on the round chart.
struct Correction {
    const char *what;
    std::function<void(TFrmMain &)> make;
};

std::vector<Correction> Corrections(const std::function<void(TFrmMain &)> &layOut)
{
    const auto typed = [layOut](const char *box, const char *text) {
        return [=](TFrmMain &w) {
            TypeOver(find<QLineEdit>(&w, box), QString::fromUtf8(text));
            layOut(w);
        };
    };
    const auto keyed = [layOut](const char *combo) {
        return [=](TFrmMain &w) {
            auto *c = find<QComboBox>(&w, combo);
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Down);
            layOut(w);
        };
    };
    const auto clicked = [layOut](const char *radio) {
        return [=](TFrmMain &w) {
            QTest::mouseClick(find<QRadioButton>(&w, radio), Qt::LeftButton);
            layOut(w);
        };
    };
    return {
        {"周天度", typed("LedtZtd", "2:30")},
        {"坐山", keyed("CboZuoShan")},
        {"建宅年", typed("EdtYear", "1995")},
        {"元运", keyed("CboYuanYun")},
        {"替卦", clicked("RdoTi")},
        {"宅门", keyed("CboMen")},
        {"宅主", typed("EdtName", "张三丰")},
        {"生年", typed("LedtShengNian", "1985")},
        {"性别", clicked("Rdonv")},
        {"turned on the chart",
         [](TFrmMain &w) {
             // The round chart at 500 x 580, centre (250, 290): grabbed on the axis below the centre, turned.
             auto *img1 = find<TImage>(&w, "Img1");
             w.Quorin()->SetPanSize(500, 580, true);
             img1->resize(500, 580);
             QTest::mousePress(img1, Qt::LeftButton, {}, {250, 298});
             QTest::mouseMove(img1, {254, 298});
             QTest::mouseMove(img1, {258, 300});
             QTest::mouseRelease(img1, Qt::LeftButton, {}, {258, 300});
         }},
    };
}

} // namespace

// Each correction laid out is asked about on every road away: 取消 keeps the case open with the corrected house
// and nothing stored, 否 drops the correction and the road goes on.
TEST_F(CaseQuestionsTest, AHouseCorrectedIsAskedAboutOnEveryRoadCancelKeepsItAndNoDropsIt)
{
    const House original = HouseOf(stored(1));
    for (const Correction &c : Corrections([this](TFrmMain &w) { layOut(w); })) {
        for (const Road road : kRoads) {
            SCOPED_TRACE(std::string(c.what) + ", " + RoadName(road));
            auto w = open(true);
            openFirstCase(*w);
            c.make(*w);
            ASSERT_TRUE(w->ChartValid());
            const House shown = ChartHouse(*w);
            ASSERT_NE(shown, original);

            qsizetype before = prompts.asked().size();
            leave(*w, road, {Answer::Cancel});
            EXPECT_EQ(questionsOfLeaving(road, before), QStringList{kHouseQuestion});
            EXPECT_EQ(lastButtons(), Prompts::Buttons::YesNoCancel);
            EXPECT_FALSE(wentOn(*w, road));
            EXPECT_TRUE(w->isVisible() && w->CaseOpen() && w->OpenCaseId() == 1 && w->ChartValid());
            EXPECT_EQ(ChartHouse(*w), shown);
            EXPECT_EQ(HouseOf(stored(1)), original);

            before = prompts.asked().size();
            leave(*w, road, {Answer::No});
            EXPECT_EQ(questionsOfLeaving(road, before), QStringList{kHouseQuestion});
            EXPECT_TRUE(wentOn(*w, road));
            EXPECT_EQ(HouseOf(stored(1)), original);
            closeWindow(*w);
        }
    }
}

// 是 saves the corrected house as 存旧 does and the road goes on; the stored row reads back the house shown.
TEST_F(CaseQuestionsTest, YesSavesTheCorrectedHouseAndTheRoadGoesOn)
{
    const TRecordData first = stored(1);
    for (const Correction &c : Corrections([this](TFrmMain &w) { layOut(w); })) {
        for (const Road road : kRoads) {
            SCOPED_TRACE(std::string(c.what) + ", " + RoadName(road));
            store(1, first);
            auto w = open(true);
            openFirstCase(*w);
            c.make(*w);
            const House shown = ChartHouse(*w);
            const qsizetype before = prompts.asked().size();
            leave(*w, road, {Answer::Yes, Answer::Yes, Answer::Ok});
            EXPECT_EQ(questionsOfLeaving(road, before), (QStringList{kHouseQuestion, kUpdate, kUpdated}));
            EXPECT_TRUE(wentOn(*w, road));
            EXPECT_EQ(HouseOf(stored(1)), shown);
            closeWindow(*w);
        }
    }
}

// A house typed into the boxes but not laid out is no change to the case: the chart still shows the stored house,
// and every road goes on without a question.
TEST_F(CaseQuestionsTest, BoxesChangedButNotLaidOutAreLeftWithoutAQuestion)
{
    for (const Road road : kRoads) {
        SCOPED_TRACE(RoadName(road));
        auto w = open();
        openFirstCase(*w);
        TypeOver(find<QLineEdit>(w.get(), "LedtZtd"), "2:30");
        TypeOver(find<QLineEdit>(w.get(), "EdtName"), QStringLiteral("张三丰"));
        const qsizetype before = prompts.asked().size();
        leave(*w, road, {});
        EXPECT_EQ(questionsOfLeaving(road, before).filter(QStringLiteral("要保存吗")), QStringList());
        EXPECT_TRUE(wentOn(*w, road));
        EXPECT_EQ(stored(1).name, "张三");
        closeWindow(*w);
    }
}

// 是 to a corrected house whose save fails keeps the user where they were: the case open with its correction,
// and the road not taken.
TEST_F(CaseQuestionsTest, AFailedSaveOfACorrectedHouseStaysWhereTheUserWas)
{
    struct Refuse : CaseFileOps {
        bool step(const char *) override { return false; }
    } refuse;
    for (const Road road : kRoads) {
        SCOPED_TRACE(RoadName(road));
        auto w = open();
        openFirstCase(*w);
        TypeOver(find<QLineEdit>(w.get(), "LedtZtd"), "2:30");
        layOut(*w);
        const House shown = ChartHouse(*w);
        CaseDb()->SetFileOps(&refuse);
        const qsizetype before = prompts.asked().size();
        leave(*w, road, {Answer::Yes, Answer::Yes, Answer::Ok}); // Ok: the case file's message
        CaseDb()->SetFileOps(nullptr);
        EXPECT_TRUE(questionsOfLeaving(road, before).value(2).startsWith(QStringLiteral("无法修改案例！")));
        EXPECT_FALSE(wentOn(*w, road));
        EXPECT_TRUE(w->isVisible() && w->CaseOpen() && w->OpenCaseId() == 1);
        EXPECT_EQ(ChartHouse(*w), shown);
        EXPECT_EQ(stored(1).degree, 0.0f);
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
            auto w = open();
            if (opened) {
                openFirstCase(*w);
            } else {
                TypeOver(find<QLineEdit>(w.get(), "EdtName"), "Tmp");
                TypeOver(find<QLineEdit>(w.get(), "EdtYear"), "2004");
                TypeOver(find<QLineEdit>(w.get(), "LedtShengNian"), "1980");
                layOut(*w);
                ASSERT_TRUE(w->ChartValid());
            }
            const int before = CaseDb()->GetPrimaryId();
            TypeOver(find<QLineEdit>(w.get(), row.box), QString::fromUtf8(row.text));
            auto *save = find<QToolButton>(w.get(), "SbtoSave");
            if (!row.stored) {
                prompts.reply(Answer::Ok); // the lay-out's message on the year
                QTest::mouseClick(save, Qt::LeftButton);
                EXPECT_EQ(askedSince(0).value(askedSince(0).size() - 1), ChartInputs::YearErrorText(ChartInputs::YearError::BuildRange));
                EXPECT_EQ(CaseDb()->GetPrimaryId(), before);
                EXPECT_EQ(stored(1).buildYear, 2004);
                EXPECT_EQ(w->CaseOpen(), opened);
            } else {
                if (opened) {
                    prompts.reply(Answer::Yes).reply(Answer::Ok);
                    QTest::mouseClick(save, Qt::LeftButton);
                } else {
                    WithModalDialog([&] { QTest::mouseClick(save, Qt::LeftButton); },
                                    [&](QWidget *dlg) { QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton); });
                }
                ASSERT_EQ(CaseDb()->GetPrimaryId(), opened ? before : before + 1);
                const TRecordData saved = stored(opened ? 1 : before + 1);
                EXPECT_TRUE(row.stored(saved)) << saved.name.toStdString() << " " << saved.buildYear;
                // The boxes and the chart show the case as stored.
                EXPECT_EQ(find<QLineEdit>(w.get(), "EdtName")->text(), saved.name);
                EXPECT_EQ(ChartHouse(*w), HouseOf(saved));
                if (opened) { // restored for the next row
                    store(1, first);
                }
            }
            closeWindow(*w);
        }
    }
}

// 新建 over an unsaved new case asks only whether to save it; 取消 on every road keeps the new case as entered.
TEST_F(CaseQuestionsTest, TheNewCaseQuestionAsksOnceAndCancelKeepsTheNewCase)
{
    {
        auto w = open();
        enterNewCase(*w);
        const qsizetype before = prompts.asked().size();
        leave(*w, Road::New, {Answer::No});
        EXPECT_EQ(askedSince(before), QStringList{kUnsaved});
        EXPECT_TRUE(wentOn(*w, Road::New));
        closeWindow(*w);
    }
    for (const Road road : kRoads) {
        SCOPED_TRACE(RoadName(road));
        auto w = open();
        enterNewCase(*w);
        const qsizetype before = prompts.asked().size();
        leave(*w, road, {Answer::Cancel});
        EXPECT_EQ(questionsOfLeaving(road, before), QStringList{kUnsaved});
        EXPECT_EQ(lastButtons(), Prompts::Buttons::YesNoCancel);
        EXPECT_TRUE(newCaseKept(*w));
        closeWindow(*w);
    }
}

// The real question box, answered with Esc or closed by its frame, is 取消 on every road, for a new case and for
// an opened case corrected; its three buttons read 是, 否 and 取消.
TEST_F(CaseQuestionsTest, EscOrClosingTheRealBoxKeepsEverything)
{
    const auto roadSteps = [](Road road, std::function<void(QWidget *)> answer) {
        std::vector<std::function<void(QWidget *)>> steps;
        if (road == Road::Close)
            steps.push_back(ClickYes); // 确定要关闭软件吗
        if (road == Road::Search) {
            steps.push_back([](QWidget *input) {
                auto *dlg = qobject_cast<QInputDialog *>(input);
                ASSERT_NE(dlg, nullptr);
                dlg->setTextValue(QStringLiteral("李四"));
                QTest::keyClick(dlg, Qt::Key_Return);
            });
            steps.push_back([](QWidget *list) { QTest::mouseClick(find<QPushButton>(list, "BtnSee"), Qt::LeftButton); });
        }
        steps.push_back(std::move(answer));
        return steps;
    };
    const auto take = [this](TFrmMain &w, Road road) {
        switch (road) {
        case Road::Tree: doubleClickCase(w, 2); break;
        case Road::New: QTest::mouseClick(find<QPushButton>(&w, "BtoNew"), Qt::LeftButton); break;
        case Road::Search: w.findChild<QAction *>(QStringLiteral("N43"))->trigger(); break;
        case Road::Close: w.close(); break;
        }
    };
    for (const bool opened : {false, true}) {
        for (const Road road : kRoads) {
            for (const bool esc : {true, false}) {
                SCOPED_TRACE(std::string(opened ? "opened case, " : "new case, ") + RoadName(road) +
                             (esc ? ", Esc" : ", box closed"));
                auto w = open();
                if (opened) {
                    openFirstCase(*w);
                    TypeOver(find<QLineEdit>(w.get(), "EdtYear"), "1995");
                    layOut(*w);
                } else {
                    enterNewCase(*w);
                }
                QStringList buttons;
                QStringList texts;
                {
                    RealPrompts real;
                    Answering answering(roadSteps(road, [&](QWidget *box) {
                        for (QAbstractButton *b : static_cast<QMessageBox *>(box)->buttons())
                            buttons << b->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
                        esc ? PressEsc(box) : CloseBox(box);
                    }));
                    take(*w, road);
                    texts = answering.texts();
                }
                EXPECT_EQ(texts.value(texts.size() - 1), opened ? kHouseQuestion : kUnsaved);
                buttons.sort();
                EXPECT_EQ(buttons, (QStringList{"取消", "否", "是"}));
                if (opened) {
                    EXPECT_TRUE(w->isVisible() && w->OpenCaseId() == 1 && w->CurrentRecord().buildYear == 1995);
                    EXPECT_EQ(stored(1).buildYear, 2004);
                } else {
                    EXPECT_TRUE(newCaseKept(*w));
                }
                closeWindow(*w);
            }
        }
    }
}

// The window with the question showing, for looking at: test_case_questions_gui.png in the test output folder.
TEST_F(CaseQuestionsTest, ShotOfTheQuestionOverTheWindow)
{
    auto w = open();
    openFirstCase(*w);
    TypeOver(find<QLineEdit>(w.get(), "LedtZtd"), "2:30");
    layOut(*w);
    {
        RealPrompts real;
        Answering answering({[&](QWidget *box) {
            QImage shot = w->grab().toImage();
            QPainter p(&shot);
            const QPixmap boxShot = box->grab();
            p.drawPixmap((shot.width() - boxShot.width()) / 2, (shot.height() - boxShot.height()) / 2, boxShot);
            p.end();
            EXPECT_TRUE(shot.save(QStringLiteral(QUORIN_TEST_OUTPUT "/test_case_questions_gui.png")));
            PressEsc(box);
        }});
        doubleClickCase(*w, 2);
    }
    EXPECT_EQ(w->OpenCaseId(), 1);
    closeWindow(*w);
}
