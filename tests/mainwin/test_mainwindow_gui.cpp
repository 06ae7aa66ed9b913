#include "GuiTestSupport.h"

#include "ChildProcess.h"

#include "AppPath.h"
#include "DataFolderLock.h"
#include "DataFolderNotice.h"
#include "IniFile.h"
#include "MQuorin.h"
#include "MRecordBase.h"
#include "MUiFont.h"
#include "Resources.h"
#include "TFrmSet.h"
#include "TFrmText.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QMenu>
#include <QMenuBar>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Answer = Prompts::Answer;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class MainWindowTest : public ProgramFolderTest {
protected:
    std::unique_ptr<TFrmMain> open()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        return w;
    }

    QString lastTitle() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().title; }
    QString lastText() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }

    void choose(QComboBox *combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

TEST_F(MainWindowTest, FirstStartUsesTheDefaultsAndCreatesTheCaseFile)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorin 3.3"));
    QApplication::processEvents();
    // Without a stored size the window opens centred and larger than its minimum (test_firststart checks
    // what it shows), and every control of the input panel is whole.
    EXPECT_GT(w->width(), w->minimumWidth());
    EXPECT_GT(w->height(), w->minimumHeight());
    EXPECT_LE((w->frameGeometry().center() - w->screen()->availableGeometry().center()).manhattanLength(), 2);
    for (QWidget *c : find<QWidget>(w.get(), "PanInput")->findChildren<QWidget *>()) {
        if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_")))
            continue;
        EXPECT_GE(c->width(), c->sizeHint().boundedTo(c->maximumSize()).width()) << c->objectName().toStdString();
        EXPECT_GE(c->height(), c->minimumSizeHint().height()) << c->objectName().toStdString();
    }
    EXPECT_EQ(find<QComboBox>(w.get(), "CboZuoShan")->currentText(), QStringLiteral("子山午向"));
    EXPECT_EQ(find<QComboBox>(w.get(), "CboZuoShan")->count(), 96);
    const int year = QDate::currentDate().year();
    EXPECT_EQ(find<QLineEdit>(w.get(), "EdtYear")->text(), QString::number(year));
    EXPECT_EQ(find<QComboBox>(w.get(), "CboYuanYun")->currentIndex(), ((year - 44) / 20) % 9 == 0 ? 8 : ((year - 44) / 20) % 9 - 1);
    EXPECT_TRUE(find<QRadioButton>(w.get(), "RdoPanShape_1")->isChecked()); // 方盘
    EXPECT_EQ(w->Quorin()->iPanShape, 1);
    EXPECT_TRUE(QFileInfo::exists(path("dat/Quorin.db")));
    EXPECT_EQ(find<TImage>(w.get(), "Img1")->size(), QSize(500, 580));
    EXPECT_EQ(find<QMenu>(w.get(), "Opt_Skin")->actions().size(), 0); // no skins, empty menu
    EXPECT_EQ(prompts.asked().size(), 0);
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
}

TEST_F(MainWindowTest, ACaseFileThatCannotBeOpenedIsReportedAndStartUpGoesOn)
{
    writeFile(QStringLiteral("dat/Quorin.db"), QByteArray(4096, 'x'));
    prompts.reply(Answer::Ok);
    auto w = open();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(lastTitle(), QStringLiteral("Quorin 3.3"));
    // The engine's own text is English: the user reads Chinese, with the file's path.
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("案例数据库文件已经损坏"))) << lastText().toStdString();
    EXPECT_FALSE(QString(lastText()).remove(path("dat/Quorin.db")).remove(QStringLiteral("Quorin.db")).contains(
        QRegularExpression(QStringLiteral("[A-Za-z]{3}"))));
    EXPECT_EQ(readFile(QStringLiteral("dat/Quorin.db")), QByteArray(4096, 'x')); // left as it was
    EXPECT_TRUE(w->isVisible());
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, InputListsHoldMountainsDoorsMonthsAndYears)
{
    auto w = open();
    auto *zuo = find<QComboBox>(w.get(), "CboZuoShan");
    EXPECT_EQ(zuo->itemText(0), QStringLiteral("壬山兼亥"));
    EXPECT_EQ(zuo->itemText(3), QStringLiteral("---------"));
    EXPECT_EQ(zuo->itemText(4 * 9 + 2), QStringLiteral("辰山兼巽"));
    EXPECT_EQ(zuo->itemText(95), QStringLiteral("---------"));
    EXPECT_EQ(zuo->itemText(4 * 23 + 2), QStringLiteral("亥山兼壬"));
    auto *men = find<QComboBox>(w.get(), "CboMen");
    EXPECT_EQ(men->count(), 24);
    EXPECT_EQ(men->itemText(1), QStringLiteral("子门"));
    auto *month = find<QComboBox>(w.get(), "CboLiuYue");
    EXPECT_EQ(month->count(), 12);
    EXPECT_EQ(month->itemText(0), QStringLiteral("寅月"));
    EXPECT_EQ(month->itemText(11), QStringLiteral("丑月"));
    auto *years = find<QComboBox>(w.get(), "CboLiuNian8");
    EXPECT_EQ(years->count(), 201);
    EXPECT_EQ(years->currentText(), QString::number(QDate::currentDate().year()));
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, DegreeTextSelectsTheSittingItemWithTheDefaultJian)
{
    auto w = open();
    EXPECT_DOUBLE_EQ(w->FJian(), 3.0);
    auto *zuo = find<QComboBox>(w.get(), "CboZuoShan");
    auto *ztd = find<QLineEdit>(w.get(), "LedtZtd");
    for (const char *text : {"120:30", "120-30", "120 30"}) {
        zuo->setCurrentIndex(5);
        ztd->setText(QString::fromLatin1(text));
        QTest::mouseClick(find<QToolButton>(w.get(), "SpeedButton2"), Qt::LeftButton);
        EXPECT_EQ(zuo->currentText(), QStringLiteral("辰山戌向")) << text;
    }
    ztd->setText(QStringLiteral("124:00"));
    w->SpeedButton2Click();
    EXPECT_EQ(zuo->currentText(), QStringLiteral("辰山兼巽"));
    ztd->setText(QStringLiteral("359:00")); // one degree west of north: still the pure 子 within 3°
    w->SpeedButton2Click();
    EXPECT_EQ(zuo->currentText(), QStringLiteral("子山午向"));

    choose(zuo, 4 * 9 + 2); // 辰山兼巽
    EXPECT_EQ(ztd->text(), QStringLiteral("125:15"));
    choose(zuo, 4 * 1 + 2); // 子山兼癸
    EXPECT_EQ(ztd->text(), QStringLiteral("5:15"));
    choose(zuo, 4 * 1 + 0); // 子山兼壬, across north
    EXPECT_EQ(ztd->text(), QStringLiteral("354:45"));
    choose(zuo, 5);
    EXPECT_EQ(ztd->text(), QStringLiteral("0:00"));
    ztd->setText(QStringLiteral("7:7"));
    choose(zuo, 7); // a separator changes nothing
    EXPECT_EQ(ztd->text(), QStringLiteral("7:7"));
    EXPECT_EQ(prompts.asked().size(), 0);
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, JianFromTheSettingsDialogChangesTheConversions)
{
    auto w = open();
    WithModalDialog([&] { w->OmenuSetClick(); },
                    [&](QWidget *dlg) {
                        find<QLineEdit>(dlg, "LedtJian")->setText(QStringLiteral("4.5"));
                        prompts.reply(Answer::Ok);
                        QTest::mouseClick(find<QPushButton>(dlg, "BitBtn1"), Qt::LeftButton);
                    });
    EXPECT_DOUBLE_EQ(w->FJian(), 4.5);
    auto *zuo = find<QComboBox>(w.get(), "CboZuoShan");
    auto *ztd = find<QLineEdit>(w.get(), "LedtZtd");
    ztd->setText(QStringLiteral("124:00"));
    w->SpeedButton2Click();
    EXPECT_EQ(zuo->currentText(), QStringLiteral("辰山戌向"));
    choose(zuo, 4 * 9 + 2);
    EXPECT_EQ(ztd->text(), QStringLiteral("126:00"));
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, HandEditedSettingsOutOfRangeFallBackToTheDefaults)
{
    IniFile ini(path("dat/set.ini"));
    ini.WriteString(QStringLiteral("set"), QStringLiteral("fJian"), QStringLiteral("-2"));
    ini.WriteInteger(QStringLiteral("set"), QStringLiteral("fuwei"), 7);
    auto w = open();
    EXPECT_DOUBLE_EQ(w->FJian(), 3.0);
    auto *gua = find<QListWidget>(w.get(), "ChkShowGua");
    EXPECT_EQ(gua->item(0)->checkState(), Qt::Checked); // the chart object's 伏位 default, 山
    for (int i = 1; i < gua->count(); ++i)
        EXPECT_EQ(gua->item(i)->checkState(), Qt::Unchecked);
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, RefusalsShowTheirTextAndTitleAndLayNothingOut)
{
    auto w = open();
    struct Case {
        QString degree, year, birth, title, text;
        const char *focus = nullptr; // the edit to correct
    };
    const QString years = QStringLiteral("建宅年份在公元44年至9999年之间,宅主生年在公元100年至9999年之间");
    const QList<Case> cases = {
        {"120:", "2004", "1980", "格式错误", "例如:周天度120度30分,就按以下格式输入:\n 120:30、120-30、120 30"},
        {"120", "2004", "1980", "格式错误", "例如:周天度120度30分,就按以下格式输入:\n 120:30、120-30、120 30"},
        {"360:00", "2004", "1980", "周天度错误", "周天度在0至360之间"},
        {"10:60", "2004", "1980", "格式错误", "分数在0-59"},
        {"0:00", "43", "1980", "年份错误", years, "EdtYear"},
        {"0:00", "10000", "1980", "年份错误", years, "EdtYear"},
        {"0:00", " ", "1980", "年份错误", "请输入建宅年份！", "EdtYear"},
        {"0:00", "2004", "99", "年份错误", years, "LedtShengNian"},
        {"0:00", "2004", "", "年份错误", "请输入宅主生年！", "LedtShengNian"}, // as on a fresh start
    };
    for (const Case &c : cases) {
        EnterHouse(*w, c.degree, c.year, QStringLiteral("张三"), c.birth);
        find<QPushButton>(w.get(), "BtnPai")->setFocus();
        prompts.reply(Answer::Ok);
        const qsizetype asked = prompts.asked().size();
        QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
        ASSERT_EQ(prompts.asked().size(), asked + 1) << c.degree.toStdString() << " " << c.year.toStdString();
        EXPECT_EQ(lastTitle(), c.title) << c.degree.toStdString() << " " << c.year.toStdString();
        EXPECT_EQ(lastText(), c.text) << c.year.toStdString() << " " << c.birth.toStdString();
        EXPECT_TRUE(!c.focus || w->focusWidget() == find<QLineEdit>(w.get(), c.focus)) << c.focus;
        EXPECT_FALSE(w->ChartValid());
    }
    EnterHouse(*w, QStringLiteral("0:00"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    find<QComboBox>(w.get(), "CboZuoShan")->setCurrentIndex(3);
    prompts.reply(Answer::Ok);
    w->BtnPaiClick();
    EXPECT_EQ(lastTitle(), QStringLiteral("提示"));
    EXPECT_EQ(lastText(), QStringLiteral("请选择坐山！"));
    EXPECT_FALSE(w->ChartValid());
    EXPECT_EQ(prompts.unexpected(), 0);
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, YearAndPeriodFollowEachOther)
{
    auto w = open();
    auto *year = find<QLineEdit>(w.get(), "EdtYear");
    auto *yun = find<QComboBox>(w.get(), "CboYuanYun");
    // Enter in the year, typed as the user does, chooses the year's period and does nothing else: no lay-out,
    // whether or not the rest of the house could be laid out, and no question.
    const struct {
        const char *year, *birth;
        Qt::Key key;
        const char *period; // nullptr: a year without a period leaves the box as it was
    } enters[] = {
        {"2005", "1980", Qt::Key_Return, "八运"},
        {"2004", "", Qt::Key_Enter, "八运"},
        {"44", "1980", Qt::Key_Enter, "九运"},
        {"2024", "", Qt::Key_Return, "九运"},
        {"43", "1980", Qt::Key_Return, nullptr},
    };
    for (const auto &e : enters) {
        SCOPED_TRACE(e.year);
        yun->setCurrentIndex(0);
        find<QLineEdit>(w.get(), "LedtShengNian")->setText(QString::fromLatin1(e.birth));
        year->setFocus();
        year->selectAll();
        QTest::keyClicks(year, QString::fromLatin1(e.year));
        QTest::keyClick(year, e.key);
        EXPECT_EQ(yun->currentText(), QString::fromUtf8(e.period ? e.period : "一运"));
        EXPECT_EQ(year->text(), QString::fromLatin1(e.year));
        EXPECT_FALSE(w->ChartValid());
        EXPECT_EQ(find<QTextEdit>(w.get(), "RedtQuorin")->toPlainText(), QString());
        EXPECT_EQ(prompts.asked().size(), 0) << lastText().toStdString();
    }
    year->setText(QStringLiteral("1990"));
    choose(yun, 7);
    EXPECT_EQ(year->text(), QStringLiteral("2010"));
    year->setText(QString());
    choose(yun, 3); // a year without a period is left alone
    EXPECT_EQ(year->text(), QString());

    // Every building year that lays out a chart shows the chart's period (九运 coded 0) in the box.
    for (const auto &[y, period] : {std::pair{"44", "九运"}, std::pair{"3001", "三运"}, std::pair{"5000", "四运"}}) {
        yun->setCurrentIndex(0);
        EnterHouse(*w, QStringLiteral("0:00"), QString::fromLatin1(y), QStringLiteral("张三"), QStringLiteral("1980"));
        QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
        EXPECT_EQ(yun->currentText(), QString::fromUtf8(period)) << y;
        EXPECT_EQ(yun->currentIndex(), (w->Quorin()->Yun + 8) % 9) << y;
    }
    EXPECT_EQ(prompts.asked().size(), 0) << lastText().toStdString();
    CloseUnsaved(*w, prompts);
}

TEST_F(MainWindowTest, ReferenceHouseIsLaidOut)
{
    auto w = open();
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    find<QTabWidget>(w.get(), "PageXuanBa")->setCurrentIndex(1);
    w->BtnPaiClick();
    EXPECT_EQ(prompts.asked().size(), 0) << lastText().toStdString();
    ASSERT_TRUE(w->ChartValid());
    const TRecordData &rec = w->CurrentRecord();
    EXPECT_EQ(rec.mountain, 5);
    EXPECT_EQ(rec.buildYear, 2004);
    EXPECT_EQ(rec.date.year, 1980);
    EXPECT_EQ(rec.sex, 1);
    EXPECT_EQ(rec.xiaGua, 1);
    EXPECT_EQ(rec.name, QStringLiteral("张三"));
    EXPECT_EQ(rec.address, QStringLiteral("未知地"));
    EXPECT_EQ(w->Quorin()->ZuoShan, 1);
    EXPECT_EQ(w->Quorin()->Yun, 8);
    EXPECT_EQ(find<QTabWidget>(w.get(), "PageXuanBa")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>(w.get(), "CboYuanYun")->currentText(), QStringLiteral("八运"));
    // The reading is written into the report pane, header first, with the caret at its start.
    auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
    const QString firstLine = w->Quorin()->sHeader.section(QRegularExpression(QStringLiteral("[\\r\\n]")), 0, 0);
    EXPECT_FALSE(firstLine.isEmpty());
    EXPECT_TRUE(report->toPlainText().startsWith(firstLine)) << report->toPlainText().left(40).toStdString();
    EXPECT_TRUE(firstLine.contains(QStringLiteral("张三")));
    EXPECT_EQ(report->textCursor().position(), 0);

    // The chart is drawn into the chart picture.
    const QImage square = find<TImage>(w.get(), "Img1")->Picture().copy();
    int inked = 0;
    for (int y = 8; y < square.height() - 8; y += 4) // inside the picture's frame
        for (int x = 8; x < square.width() - 8; x += 4)
            inked += qGray(square.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(inked, 100);

    // The shape is the user's choice: switching redraws, and a new lay-out keeps it.
    find<QRadioButton>(w.get(), "RdoPanShape_0")->click();
    EXPECT_EQ(w->Quorin()->iPanShape, 0);
    EXPECT_NE(find<TImage>(w.get(), "Img1")->Picture(), square);
    w->BtnPaiClick();
    EXPECT_EQ(w->Quorin()->iPanShape, 0);

    // The other views draw once a chart is laid out.
    const QImage xuanKong = find<TImage>(w.get(), "Img1")->Picture().copy();
    QTest::mouseClick(find<QPushButton>(w.get(), "BtoPan8"), Qt::LeftButton);
    EXPECT_EQ(w->CurrentRecord().chartPanel, 1);
    EXPECT_NE(find<TImage>(w.get(), "Img1")->Picture(), xuanKong);
    find<QComboBox>(w.get(), "CboLiuNian")->setEditText(QStringLiteral("2024"));
    QTest::mouseClick(find<QPushButton>(w.get(), "BtoLiuNian"), Qt::LeftButton);
    EXPECT_EQ(w->CurrentRecord().chartPanel, 2);
    EXPECT_EQ(w->Quorin()->iLiuNianYear, 2024);
    QTest::mouseClick(find<QPushButton>(w.get(), "BtoPan"), Qt::LeftButton);
    EXPECT_EQ(w->CurrentRecord().chartPanel, 0);
    EXPECT_EQ(prompts.asked().size(), 0);
    CloseUnsaved(*w, prompts);
}

TEST_F(MainWindowTest, ChartOptionsActOnTheLaidOutChart)
{
    auto w = open();
    auto *gua = find<QListWidget>(w.get(), "ChkShowGua");
    EXPECT_EQ(gua->item(0)->checkState(), Qt::Checked); // the 伏位 reference of the default settings
    EXPECT_EQ(gua->item(1)->checkState(), Qt::Unchecked);
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    w->BtnPaiClick();
    ASSERT_TRUE(w->ChartValid());

    gua->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(w->Quorin()->GuaCount, 2);
    gua->item(0)->setCheckState(Qt::Unchecked); // the 伏位 reference cannot be hidden
    EXPECT_EQ(gua->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(w->Quorin()->GuaCount, 2);

    const QImage before = find<TImage>(w.get(), "Img1")->Picture().copy();
    find<QRadioButton>(w.get(), "RdoColor_2")->click();
    EXPECT_EQ(w->Quorin()->Rec.colour, 2);
    EXPECT_NE(find<TImage>(w.get(), "Img1")->Picture(), before);
    find<QRadioButton>(w.get(), "GrpShowStar_1")->click();
    EXPECT_EQ(w->Quorin()->Rec.starNames, 1);
    EXPECT_EQ(prompts.asked().size(), 0);
    CloseUnsaved(*w, prompts);
}

// The owner's name is cleaned when the house is laid out, and the box then shows the name the case is laid out
// and saved under; the note is for names that held characters a file name cannot, or were too long.
TEST_F(MainWindowTest, OwnerNameIsCleanedIntoTheBoxWithANote)
{
    const QString note = QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
    const QString cut = QStringLiteral("姓名超过10个字符，已经截短为前10个字符！");
    const QString pasted = QString(10000, QChar(0x738B)); // 王 ten thousand times, pasted
    const struct {
        QString typed;
        const char *shown;
        bool noted; // characters a file name cannot hold
        bool cut;   // longer than ten characters
    } rows[] = {
        {"张*三?", "张三", true, false},
        {"", "甲", false, false},
        {"   ", "甲", false, false},
        {"*?", "甲", true, false},
        {" 张三 ", "张三", false, false},
        {"一二三四五六七八九十壹", "一二三四五六七八九十", false, true},
        {pasted, "王王王王王王王王王王", false, true},
        {"一*二三四五六七八九十壹", "一二三四五六七八九十", true, true},
        {"李四", "李四", false, false},
    };
    auto w = open();
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QString(), QStringLiteral("1980"));
    auto *box = find<QLineEdit>(w.get(), "EdtName");
    for (const auto &row : rows) {
        const QString typed = row.typed;
        SCOPED_TRACE(typed.left(20).toStdString());
        // Typed over the old name as the user does: Chinese through the input method, the rest by keys.
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        if (typed == pasted)
            box->insert(typed);
        for (const QChar c : typed == pasted ? QString() : typed) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(box, c.toLatin1());
                continue;
            }
            QInputMethodEvent committed;
            committed.setCommitString(c);
            QApplication::sendEvent(box, &committed);
        }
        if (typed != pasted) // a paste keeps what the box takes
            ASSERT_EQ(box->text(), typed);
        const qsizetype asked = prompts.asked().size();
        const bool told = row.noted || row.cut;
        if (told)
            prompts.reply(Answer::Ok);
        QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
        ASSERT_EQ(prompts.asked().size(), asked + (told ? 1 : 0));
        if (told) {
            QStringList said;
            if (row.noted)
                said << note;
            if (row.cut)
                said << cut;
            EXPECT_EQ(lastText(), said.join('\n'));
        }
        EXPECT_TRUE(w->ChartValid());
        EXPECT_EQ(box->text(), QString::fromUtf8(row.shown));
        EXPECT_EQ(w->CurrentRecord().name, box->text());
    }

    // A blank owner saved: the case is 甲's, as the box says.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::mouseClick(find<QPushButton>(w.get(), "BtnPai"), Qt::LeftButton);
    ASSERT_EQ(box->text(), QStringLiteral("甲"));
    WithModalDialog([&] { QTest::mouseClick(find<QToolButton>(w.get(), "SbtoSave"), Qt::LeftButton); },
                    [](QWidget *dlg) { QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton); });
    TRecordData saved;
    ASSERT_TRUE(CaseDb()->LoadCase(1, saved));
    EXPECT_EQ(saved.name, box->text());
    EXPECT_EQ(prompts.unexpected(), 0);
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, ChartViewsRefuseBeforeALayOut)
{
    auto w = open();
    for (auto view : {&TFrmMain::BtoPanClick, &TFrmMain::BtoPan8Click, &TFrmMain::BtoMenClick,
                      &TFrmMain::BtoLiuNianClick, &TFrmMain::BtoLiuNian8Click}) {
        prompts.reply(Answer::Ok);
        (w.get()->*view)();
        EXPECT_EQ(lastTitle(), QStringLiteral("先排盘"));
        EXPECT_EQ(lastText(), QStringLiteral("请先点“布宅局”按钮排一个盘"));
    }
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    w->BtnPaiClick();
    ASSERT_TRUE(w->ChartValid());
    // Annual charts take the years of the calendar: before 64 or past 9999 they are refused, the view unchanged.
    for (const char *year : {"63", "99999"}) {
        for (const auto &[combo, button] : {std::pair{"CboLiuNian", "BtoLiuNian"}, std::pair{"CboLiuNian8", "BtoLiuNian8"}}) {
            find<QComboBox>(w.get(), combo)->setEditText(QString::fromLatin1(year));
            prompts.reply(Answer::Ok);
            QTest::mouseClick(find<QPushButton>(w.get(), button), Qt::LeftButton);
            EXPECT_EQ(lastText(), QStringLiteral("流年在公元64年至9999年之间")) << combo << " " << year;
            EXPECT_EQ(w->CurrentRecord().chartPanel, 0) << combo << " " << year;
        }
    }
    find<QComboBox>(w.get(), "CboLiuNian")->setEditText(QStringLiteral("9999"));
    w->BtoLiuNianClick();
    EXPECT_EQ(w->Quorin()->iLiuNianYear, 9999);
    CloseUnsaved(*w, prompts);
}

TEST_F(MainWindowTest, RestartKeepsShapeGeometryReportFontAndPictureSize)
{
    IniFile ini(path("dat/qrinit.ini"));
    ini.WriteInteger(QStringLiteral("img"), QStringLiteral("hei"), 300);
    ini.WriteInteger(QStringLiteral("img"), QStringLiteral("wid"), 640);
    ini.WriteString(QStringLiteral("minggao"), QStringLiteral("fname"), QStringLiteral("宋体"));
    ini.WriteInteger(QStringLiteral("minggao"), QStringLiteral("fsize"), 14);
    ini.WriteInteger(QStringLiteral("minggao"), QStringLiteral("bcolor"), 0x00FFFF); // yellow
    {
        auto w = open();
        EXPECT_EQ(find<TImage>(w.get(), "Img1")->size(), QSize(640, 580));
        auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
        EXPECT_EQ(report->font().pointSize(), 14);
        EXPECT_EQ(report->palette().color(QPalette::Base), QColor(255, 255, 0));
        find<QRadioButton>(w.get(), "RdoPanShape_0")->click();
        w->move(30, 40);
        w->resize(1000, 700);
        EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
    }
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("img"), QStringLiteral("hei"), 0), 580);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("soft"), QStringLiteral("iPanShape"), -1), 0);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("minggao"), QStringLiteral("bcolor"), 0), 0x00FFFF);
    {
        auto w = open();
        EXPECT_TRUE(find<QRadioButton>(w.get(), "RdoPanShape_0")->isChecked());
        EXPECT_EQ(w->Quorin()->iPanShape, 0);
        EXPECT_EQ(w->pos(), QPoint(30, 40));
        EXPECT_EQ(w->size(), QSize(1000, 700));
        EXPECT_EQ(find<QTextEdit>(w.get(), "RedtQuorin")->font().pointSize(), 14);
        CloseAnswering(*w, prompts, {Answer::Yes});
    }
}

TEST_F(MainWindowTest, ClosingAsksAndKeepsTheNormalGeometryWhenMaximised)
{
    IniFile ini(path("dat/qrinit.ini"));
    auto w = open();
    EXPECT_FALSE(CloseAnswering(*w, prompts, {Answer::No}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(lastTitle(), QStringLiteral("关闭"));
    EXPECT_EQ(lastText(), QStringLiteral("确定要关闭软件吗？"));
    EXPECT_FALSE(QFileInfo::exists(path("dat/qrinit.ini")));

    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("left"), 77);
    w->setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("state"), -1), 2);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("left"), -1), 77);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("window"), QStringLiteral("width")));

    // Started maximised, the window stays so once the window manager has framed it, and says so again on closing.
    auto again = open();
    QTest::qWait(100);
    EXPECT_TRUE(again->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(CloseAnswering(*again, prompts, {Answer::Yes}));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("state"), -1), 2);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("window"), QStringLiteral("width")));
}

TEST_F(MainWindowTest, StoredLayoutSizesAreRaisedToTheirBounds)
{
    IniFile ini(path("dat/qrinit.ini"));
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), 1280);
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), 800);
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("treewid"), 5);
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("PanLeftPic"), 100);
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("pinghei"), 1);
    auto w = open();
    QApplication::processEvents();
    EXPECT_GE(find<QTreeWidget>(w.get(), "Tree")->width(), 30);
    EXPECT_GE(find<QWidget>(w.get(), "PanLeftPic")->width(), 500);
    EXPECT_GE(find<QTextEdit>(w.get(), "RedtPingYu")->height(), 20);
    CloseAnswering(*w, prompts, {Answer::Yes});
}

// Sizes no window holds (a hand-edited file) are kept within the window, and what closing writes back fits it.
TEST_F(MainWindowTest, StoredPaneSizesBeyondTheWindowAreKeptWithinIt)
{
    const struct {
        const char *key;
        bool stored; // with a stored window size, else a first start
    } rows[] = {{"treewid", true}, {"PanLeftPic", true}, {"pinghei", true}, {"treewid", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.key) + (row.stored ? "" : " on a first start"));
        writeFile("dat/qrinit.ini", row.stored ? "[window]\nleft=20\ntop=20\nwidth=1280\nheight=800\n" : "[window]\n");
        IniFile(path("dat/qrinit.ini")).WriteInteger(QStringLiteral("window"), QLatin1String(row.key), 2147483647);
        auto w = open();
        QApplication::processEvents();
        auto *tree = find<QTreeWidget>(w.get(), "Tree");
        auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
        auto *comments = find<QTextEdit>(w.get(), "RedtPingYu");
        EXPECT_GE(report->width(), 90) << "the report keeps room beside the tree and the picture";
        EXPECT_GE(report->height(), 90) << "the report keeps room above the comments";
        EXPECT_LT(tree->width(), w->width() / 2);
        EXPECT_LT(comments->height(), w->height());
        CloseAnswering(*w, prompts, {Answer::Yes});
        IniFile ini(path("dat/qrinit.ini"));
        const int written = ini.ReadInteger(QStringLiteral("window"), QLatin1String(row.key), 0);
        EXPECT_LT(written, row.key == std::string("pinghei") ? w->height() : w->width());
        EXPECT_GE(written, 20);
    }
}

TEST_F(MainWindowTest, SkinMenuListsThePackagesAndRemembersTheChoice)
{
    QFile shipped(QStringLiteral(QUORIN_STAGED_SKINS "/Mx1.skn"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray package = shipped.readAll();
    writeFile(QStringLiteral("skins/Mx1.skn"), package);
    writeFile(QStringLiteral("skins/my.dark.skn"), package);
    auto w = open();
    QMenu *menu = find<QMenu>(w.get(), "Opt_Skin");
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, (QStringList{"Mx1", "my.dark", "-", "系统默认"})); // only ".skn" is cut off
    EXPECT_TRUE(menu->actions().last()->isChecked());

    menu->actions().at(1)->trigger();
    EXPECT_EQ(prompts.asked().size(), 0);
    IniFile ini(path("dat/qrinit.ini"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("window"), QStringLiteral("skinname"), QString()), QStringLiteral("my.dark"));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("window"), QStringLiteral("skined"), false));

    QFile::remove(path("skins/Mx1.skn"));
    prompts.reply(Answer::Ok);
    menu->actions().at(0)->trigger();
    EXPECT_EQ(lastText(), QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("window"), QStringLiteral("skinname"), QString()), QStringLiteral("my.dark"));
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, FontDeltaEnlargesTheWindowButNotPicturesReportOrFixedDialogs)
{
    IniFile(path("dat/set.ini")).WriteInteger(QStringLiteral("set"), QStringLiteral("iFontSizeVar"), 3);
    auto w = open();
    EXPECT_EQ(AppUiFont.FontSizeVar(), 3);
    EXPECT_EQ(find<QLineEdit>(w.get(), "EdtName")->font().pointSize(), 12);
    EXPECT_EQ(find<QComboBox>(w.get(), "CboZuoShan")->font().pointSize(), 12);
    EXPECT_GT(find<QPushButton>(w.get(), "BtnPai")->minimumWidth(), 96);
    EXPECT_EQ(find<TImage>(w.get(), "Img1")->size(), QSize(500, 580));
    EXPECT_EQ(find<TImage>(w.get(), "ImgBk")->size(), QSize(500, 580));
    EXPECT_EQ(find<QTextEdit>(w.get(), "RedtQuorin")->font().pointSize(), 10);
    w->resize(1280, 800);
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/mainwindow_font_plus3.png")));
    WithModalDialog([&] { w->OmenuSetClick(); },
                    [&](QWidget *dlg) { EXPECT_DOUBLE_EQ(dlg->font().pointSizeF(), 10.5); });
    CloseAnswering(*w, prompts, {Answer::Yes});

    IniFile(path("dat/set.ini")).WriteInteger(QStringLiteral("set"), QStringLiteral("iFontSizeVar"), 0);
    auto plain = open();
    EXPECT_EQ(find<QLineEdit>(plain.get(), "EdtName")->font().pointSize(), 9);
    EXPECT_EQ(find<QPushButton>(plain.get(), "BtnPai")->minimumWidth(), 96);
    CloseAnswering(*plain, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, VerdictTextFollowsTheSittingMountain)
{
    auto w = open();
    auto *zuo = find<QComboBox>(w.get(), "CboZuoShan");
    zuo->setCurrentIndex(4 * 9 + 2); // 辰山兼巽: mountain 辰
    QString shown;
    WithModalDialog([&] { QTest::mouseClick(find<QToolButton>(w.get(), "SbtoText"), Qt::LeftButton); },
                    [&](QWidget *dlg) {
                        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("二十四山年月日时吉凶定局"));
                        shown = find<QPlainTextEdit>(dlg, "Memo1")->toPlainText();
                    });
    EXPECT_EQ(shown, TFrmText::MountainText(9));
    EXPECT_TRUE(shown.startsWith(LoadStr(1190) + QLatin1Char('\n') + LoadStr(1191)));
    zuo->setCurrentIndex(7);
    prompts.reply(Answer::Ok);
    w->SbtoTextClick();
    EXPECT_EQ(lastText(), QStringLiteral("请选择坐山！"));
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, ScreenshotOfTheReferenceHouse)
{
    IniFile ini(path("dat/qrinit.ini"));
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), 1280);
    ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), 800);
    auto w = open();
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    w->BtnPaiClick();
    QApplication::processEvents();
    const QImage shot = w->grab().toImage();
    EXPECT_EQ(shot.size().width(), 1280 * int(shot.devicePixelRatio()));
    EXPECT_TRUE(shot.save(QStringLiteral(QUORIN_TEST_OUTPUT "/mainwindow_reference_house.png")));
    auto *tabs = find<QTabWidget>(w.get(), "PageXuanBa");
    tabs->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(tabs->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/mainwindow_bazhai_tab.png")));
    // No control of the input panel is squeezed below the size it needs.
    for (QWidget *c : find<QWidget>(w.get(), "PanInput")->findChildren<QWidget *>()) {
        if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith(QLatin1String("qt_")))
            continue;
        EXPECT_GE(c->width(), c->minimumSizeHint().width()) << c->objectName().toStdString();
    }
    CloseUnsaved(*w, prompts);
}

TEST_F(MainWindowTest, BadStoredGeometryOpensAWholeWindowOnTheScreenAndStoresTheClientArea)
{
    const struct {
        int left, top, width, height;
    } rows[] = {{3000, 2000, 0, -100}, {-4000, 10, 400, 400}, {10, -900, 100000, 300}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.left);
        IniFile ini(path("dat/qrinit.ini"));
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("left"), row.left);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("top"), row.top);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), row.width);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), row.height);
        auto w = open();
        QApplication::processEvents();
        EXPECT_TRUE(w->isVisible());
        EXPECT_GE(w->width(), w->minimumWidth());
        EXPECT_GE(w->height(), w->minimumHeight());
        EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()))
            << w->frameGeometry().x() << "," << w->frameGeometry().y() << " " << w->frameGeometry().width() << "x"
            << w->frameGeometry().height();
        ASSERT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("height"), 0),
                  w->height() - w->menuBar()->height());
    }
}

namespace {

// Runs body in a forked child as a user without the administrator's rights, who may write only where the
// permissions say.
std::string AsPlainUser(const std::function<std::string()> &body)
{
    return AnswerFromChild([&] { return GiveUpAdministratorRights() ? body() : std::string("cannot drop rights"); });
}

} // namespace

// The start-up's notice names the folder of the install that cannot be written, and says where the data now
// lives; an install whose data folders can be written says nothing, whatever the program folder allows.
TEST_F(MainWindowTest, TheReadOnlyNoticeNamesTheFolderThatCannotBeWritten)
{
    const QString app = path("");
    const QString moved = QStringLiteral("\n\n设置、案例和评语将保存在：\n%1/Quorin/");
    const struct {
        const char *what;
        QStringList readOnly; // folders of the install made read-only ("" the program folder)
        QStringList missing;  // data folders not there
        QString named;        // the folder the notice names, with its words; empty: no notice
    } rows[] = {
        {"everything writable", {}, {}, {}},
        {"the whole install", {"", "dat", "Quorin_f", "picTemp"}, {}, "软件所在的文件夹不能写入：\n" + app},
        {"the program folder before its data folders exist", {""}, {"dat", "Quorin_f", "picTemp"},
         "软件所在的文件夹不能写入：\n" + app},
        {"only dat/", {"dat"}, {}, "软件的设置和案例数据文件夹不能写入：\n" + app + "dat/"},
        {"only the case folder", {"Quorin_f"}, {}, "软件的评语和户型图文件夹不能写入：\n" + app + "Quorin_f/"},
        {"only the plan steps", {"picTemp"}, {}, "软件的户型图临时文件夹不能写入：\n" + app + "picTemp/"},
        {"the program folder, its data folders writable", {""}, {}, {}},
    };
    const QStringList folders = {QString(), QStringLiteral("dat"), QStringLiteral("Quorin_f"), QStringLiteral("picTemp")};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir home; // the user's data folder, which the plain user may write
        ASSERT_TRUE(QFile::setPermissions(home.path(), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        ASSERT_TRUE(MakeProgramFolders());
        for (const QString &sub : row.missing)
            ASSERT_TRUE(QDir(app + sub).removeRecursively());
        // Every folder open to all, then the row's folders only to read.
        for (const QString &sub : folders)
            chmod(QFile::encodeName(app + sub).constData(), row.readOnly.contains(sub) ? 0555 : 0777);
        const std::string answer = AsPlainUser([&] {
            SetAppPath(app); // decided afresh, as at a start
            prompts.reply(Answer::Ok);
            DataFolderLock lock;
            if (!OpenDataFolder(lock))
                return std::string("the start ends");
            const QString text = prompts.asked().isEmpty() ? QString() : prompts.asked().last().text;
            return (text + QStringLiteral("|") + DataPath()).toStdString();
        });
        for (const QString &sub : folders)
            chmod(QFile::encodeName(app + sub).constData(), 0700);
        qunsetenv("XDG_DATA_HOME");
        if (answer == "cannot drop rights")
            GTEST_SKIP() << "an administrator who cannot become a plain user may write anywhere";
        const QString notice = row.named.isEmpty() ? QString() : row.named + moved.arg(home.path());
        const QString data = row.named.isEmpty() ? app : home.path() + QStringLiteral("/Quorin/");
        EXPECT_EQ(QString::fromStdString(answer), notice + QStringLiteral("|") + data);
    }
}

// Started as the program starts (the data folder's lock first, then the folder prepared), a read-only install's
// first start says where the settings and cases now live, and brings the program folder's cases there with their
// comments and floor plans, which the cases open with. The next start says nothing.
TEST_F(MainWindowTest, AReadOnlyProgramFolderKeepsSettingsAndCasesInTheUsersFolder)
{
    // A user's data folder of the test's own, and a program folder that counts as read-only, until the end.
    struct ReadOnlyInstall {
        QTemporaryDir home;
        ReadOnlyInstall()
        {
            qputenv("XDG_DATA_HOME", home.path().toUtf8());
            SetProgramFolderWritable(false);
        }
        ~ReadOnlyInstall()
        {
            SetProgramFolderWritable(std::nullopt);
            qunsetenv("XDG_DATA_HOME");
        }
    } install;
    const QString user = install.home.path() + QStringLiteral("/Quorin/");
    IniFile(path("dat/set.ini")).WriteString(QStringLiteral("set"), QStringLiteral("fJian"), QStringLiteral("2"));
    storeCases({{"王芳", 5, 2004, "小区套房", "王芳_198005060708"}}); // an earlier install's, with its files
    writeFile(QStringLiteral("Quorin_f/王芳_198005060708.rtf"), "{\\rtf1 \\u38376?\\u24320?\\u19996?\\u21335?}"); // 门开东南
    const QByteArray programCases = readFile("dat/Quorin.db");
    {
        DataFolderLock lock;
        prompts.reply(Answer::Ok);
        ASSERT_TRUE(OpenDataFolder(lock));
        ASSERT_EQ(prompts.asked().size(), 1);
        EXPECT_TRUE(lastText().contains(QStringLiteral("不能写入")) && lastText().contains(user)) << lastText().toStdString();
        auto w = open();
        EXPECT_DOUBLE_EQ(w->FJian(), 2.0); // the shipped settings, copied
        w->move(0, 60); // the window with its case tree is nearly as wide as the screen
        ASSERT_TRUE(w->OpenCase(1));
        EXPECT_EQ(find<QTextEdit>(w.get(), "RedtPingYu")->toPlainText(), QStringLiteral("门开东南"));
        EXPECT_EQ(find<TImage>(w.get(), "ImgBk")->Picture().size(), QSize(40, 30));
        EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
    }
    EXPECT_EQ(IniFile(user + QStringLiteral("dat/qrinit.ini")).ReadInteger(QStringLiteral("window"), QStringLiteral("top"), 0), 60);
    EXPECT_FALSE(QFileInfo::exists(path("dat/qrinit.ini")));
    EXPECT_EQ(readFile("dat/Quorin.db"), programCases);

    DataFolderLock lock;
    ASSERT_TRUE(OpenDataFolder(lock)); // the next start says nothing
    EXPECT_EQ(prompts.asked().size(), 2);
    auto w = open();
    EXPECT_EQ(w->pos(), QPoint(0, 60));
    CloseAnswering(*w, prompts, {Answer::Yes});
}

TEST_F(MainWindowTest, WindowSettingsThatCannotBeWrittenAreReportedOnClosing)
{
    auto w = open();
    ASSERT_TRUE(QDir().mkpath(path("dat/qrinit.ini"))); // a folder where the file should be
    prompts.reply(Answer::Yes).reply(Answer::Ok);
    EXPECT_TRUE(w->close());
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(lastTitle(), QStringLiteral("错误"));
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("无法保存窗口设置"))) << lastText().toStdString();
}

TEST_F(MainWindowTest, EnterInTheInputPanelLaysOutTheHouse)
{
    auto w = open();
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    auto *zuo = find<QComboBox>(w.get(), "CboZuoShan");
    for (const char *name : {"EdtName", "LedtZtd", "CboMen", "Rdonv"}) {
        zuo->setCurrentIndex(7); // a separator: the lay-out refuses, which shows that it ran
        const qsizetype asked = prompts.asked().size();
        prompts.reply(Answer::Ok);
        QTest::keyClick(find<QWidget>(w.get(), name), Qt::Key_Return);
        ASSERT_EQ(prompts.asked().size(), asked + 1) << name;
        EXPECT_EQ(lastText(), QStringLiteral("请选择坐山！"));
    }
    zuo->setCurrentIndex(5);
    QTest::keyClick(find<QWidget>(w.get(), "LedtShengNian"), Qt::Key_Enter);
    EXPECT_TRUE(w->ChartValid());
    CloseUnsaved(*w, prompts);
}

TEST_F(MainWindowTest, SettingsDialogCancelChangesNothingAndSaveRedrawsTheShownView)
{
    auto w = open();
    EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
    w->BtnPaiClick();
    ASSERT_TRUE(w->ChartValid());
    auto *picture = find<TImage>(w.get(), "Img1");
    auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
    auto *tabs = find<QTabWidget>(w.get(), "PageXuanBa");
    const QImage shown = picture->Picture().copy();
    const QString reading = report->toHtml();

    WithModalDialog([&] { w->OmenuSetClick(); },
                    [&](QWidget *dlg) {
                        find<QRadioButton>(dlg, "RdoCoord_2")->setChecked(true);
                        QTest::mouseClick(find<QPushButton>(dlg, "BitBtn2"), Qt::LeftButton); // 返回
                    });
    EXPECT_EQ(picture->Picture(), shown);
    EXPECT_EQ(report->toHtml(), reading);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(w->CurrentRecord().chartPanel, 0);

    WithModalDialog([&] { w->OmenuSetClick(); },
                    [&](QWidget *dlg) {
                        find<QRadioButton>(dlg, "RdoCoord_2")->setChecked(true); // 上山下向: north up
                        prompts.reply(Answer::Ok);
                        QTest::mouseClick(find<QPushButton>(dlg, "BitBtn1"), Qt::LeftButton); // 保存设置
                    });
    EXPECT_NE(picture->Picture(), shown); // redrawn with the new settings
    EXPECT_EQ(report->toHtml(), reading); // still the 玄空 reading, under the 玄空 tab
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(w->CurrentRecord().chartPanel, 0);
    EXPECT_EQ(w->Quorin()->Rec.chartPanel, 0);
    CloseUnsaved(*w, prompts);
}

} // namespace
