#include "GuiTestSupport.h"

#include "FormUtil.h"
#include "MRecordBase.h"
#include "TFrmFeiBu.h"
#include "TFrmJiuXing.h"
#include "TFrmMain.h"
#include "TFrmMenChi.h"
#include "TFrmMenChi2.h"
#include "TFrmTime.h"
#include "TFrmWnl.h"
#include "TImage.h"
#include "ToolWindows.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using Answer = Prompts::Answer;

namespace {
class ToolWindowTest : public ProgramFolderTest {
protected:
    QString lastText() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }

    // Writes a picture of a window for people to look at.
    static void Snapshot(QWidget *w, const char *name)
    {
        w->grab().save(QStringLiteral(QUORIN_TOOLS_PICTURES "/%1.png").arg(QLatin1String(name)));
    }

    static void Choose(QComboBox *combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};
} // namespace

TEST_F(ToolWindowTest, NineStarWindowChecksItsInputsAndSavesThePicture)
{
    TFrmJiuXing w;
    w.resize(760, 760);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.SetDate({2024, 2, 10, 12, 0});
    ASSERT_TRUE(w.BtoRunClick());
    EXPECT_EQ(w.Engine().Results().charts[int(JiuXingKind::Nian)].Centre(), 3);
    EXPECT_FALSE(find<QPlainTextEdit>(&w, "Memo1")->toPlainText().isEmpty());
    Snapshot(&w, "jiuxing_2024-02-10");
    find<QCheckBox>(&w, "ChkState")->setChecked(true);
    Choose(find<QComboBox>(&w, "CboColor"), 1);
    Snapshot(&w, "jiuxing_2024-02-10_states_colours");
    w.Button1Click();
    Snapshot(&w, "jiuxing_overview");

    // A year outside 100..3000 clears the edit; no chart chosen is refused.
    auto *year = find<QLineEdit>(&w, "EdtYear");
    year->setText(QStringLiteral("99"));
    prompts.reply(Answer::Ok).reply(Answer::Ok);
    EXPECT_FALSE(w.BtoRunClick());
    EXPECT_EQ(lastText(), QStringLiteral("输入年份在100-3000年之间！"));
    EXPECT_TRUE(year->text().isEmpty());
    year->setText(QStringLiteral("2024"));
    auto *stars = find<QListWidget>(&w, "ChkStar");
    const QSignalBlocker quiet(stars);
    for (int i = 0; i < 6; ++i)
        SetItemChecked(stars, i, i == 2);
    ASSERT_TRUE(w.BtoRunClick());
    Snapshot(&w, "jiuxing_year_only");
    for (int i = 0; i < 6; ++i)
        SetItemChecked(stars, i, false);
    EXPECT_FALSE(w.BtoRunClick());
    EXPECT_EQ(lastText(), QStringLiteral("至少选择一个要显示的九星类别！"));

    // The picture's popup saves a bitmap.
    auto *save = w.findChild<QMenu *>()->actions().at(1);
    prompts.reply(path(QStringLiteral("charts"))).reply(Answer::Ok);
    save->trigger();
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("charts.bmp"))));
    EXPECT_EQ(lastText(), QStringLiteral("保存完成"));
    // Copy puts the picture on the clipboard; print (to a PDF file here) after the question.
    w.findChild<QMenu *>()->actions().at(0)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), find<TImage>(&w, "img")->Picture().size());
    prompts.reply(Answer::Yes).reply(path(QStringLiteral("charts.pdf")));
    w.findChild<QMenu *>()->actions().at(2)->trigger();
    EXPECT_GT(QFileInfo(path(QStringLiteral("charts.pdf"))).size(), 1000);
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST_F(ToolWindowTest, FlyingStarWindowAndBirthTimeEntry)
{
    TFrmFeiBu fei;
    fei.show();
    Choose(find<QComboBox>(&fei, "CboZhong"), 4); // 五黄
    Snapshot(&fei, "feibu_5_forward");
    find<QRadioButton>(&fei, "RdoNi")->click();
    Snapshot(&fei, "feibu_5_backward");

    // A lunar leap-month birth date survives a round trip; year 2 is refused and the dialog stays open.
    TDateRec date{1990, 5, 10, 23, 15};
    uint8_t lunar = 1, leap = 1;
    {
        TFrmTime dlg(date, lunar, leap);
        dlg.show();
        Snapshot(&dlg, "birth_time");
        EXPECT_TRUE(find<QCheckBox>(&dlg, "Chkrun")->isChecked());
        EXPECT_TRUE(find<QRadioButton>(&dlg, "Rdonl")->isChecked());
        EXPECT_EQ(find<QComboBox>(&dlg, "cbos")->currentText(), QStringLiteral("23时子"));
        auto *year = find<QLineEdit>(&dlg, "Edtyear");
        for (const char *bad : {"2", "10000", "x"}) {
            year->setText(QString::fromLatin1(bad));
            dlg.BtnokClick();
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(prompts.asked().last().title, QStringLiteral("日期错误"));
        }
        year->setText(QStringLiteral("1990"));
        dlg.BtnokClick();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(date, (TDateRec{1990, 5, 10, 23, 15}));
    EXPECT_EQ(lunar, 1);
    EXPECT_EQ(leap, 1);
    for (int y : {3, 9999}) {
        TFrmTime dlg(date, lunar, leap);
        find<QLineEdit>(&dlg, "Edtyear")->setText(QString::number(y));
        dlg.BtnokClick();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(date.year, y);
    }
    // No birth date yet: 6月 1日 12时 0分.
    TDateRec none{2024, 0, 0, 0, 0};
    TFrmTime fresh(none, lunar, leap);
    EXPECT_EQ(find<QComboBox>(&fresh, "cbom")->currentIndex(), 5);
    EXPECT_EQ(find<QComboBox>(&fresh, "cbos")->currentIndex(), 12);
}

TEST_F(ToolWindowTest, BirthdayButtonLaysOutTheOwnersPillars)
{
    TFrmMain w;
    w.show();
    w.resize(1100, 760);
    find<QLineEdit>(&w, "LedtZtd")->setText(QStringLiteral("0:30"));
    find<QLineEdit>(&w, "EdtName")->setText(QStringLiteral("张三"));
    WithModalDialog([&] { find<QToolButton>(&w, "BtoShengRi")->click(); },
                    [&](QWidget *dlg) {
                        find<QRadioButton>(dlg, "Rdogl")->setChecked(true);
                        find<QLineEdit>(dlg, "Edtyear")->setText(QStringLiteral("2024"));
                        find<QComboBox>(dlg, "cbom")->setCurrentIndex(1);
                        find<QComboBox>(dlg, "cbod")->setCurrentIndex(9);
                        find<QComboBox>(dlg, "cbos")->setCurrentIndex(12);
                        find<QPushButton>(dlg, "Btnok")->click();
                    });
    EXPECT_EQ(find<QLineEdit>(&w, "LedtShengNian")->text(), QStringLiteral("2024"));
    w.BtnPaiClick();
    Snapshot(&w, "main_birthday");
    ASSERT_TRUE(w.ChartValid()) << lastText().toStdString();
    const QString report = find<QTextEdit>(&w, "RedtQuorin")->toPlainText();
    EXPECT_NE(report.indexOf(QStringLiteral("甲辰 丙寅 甲辰 庚午")), -1) << report.left(200).toStdString();
    EXPECT_TRUE(CloseUnsaved(w, prompts)); // the house laid out is not kept
}

TEST_F(ToolWindowTest, CalendarWindowNavigatesAndSelectsDays)
{
    TFrmWnl w;
    w.resize(860, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.SetDate({2024, 2, 10, 12, 0});
    EXPECT_EQ(find<QLabel>(&w, "LabShow")->text(), QStringLiteral("2024年2月"));
    EXPECT_EQ(find<QPlainTextEdit>(&w, "MeoGanZhi")->toPlainText(), QStringLiteral("甲辰年\n丙寅月\n甲辰日\n庚午时"));
    Snapshot(&w, "wnl_2024-02");

    w.SetDate({1582, 10, 4, 12, 0});
    auto *img = find<TImage>(&w, "Img");
    const QSize size = img->Picture().size();
    // The cell after the 4th (a Thursday, column 3 of the first row) is the 15th.
    w.ImgClick(QPoint(size.width() / 7 * 4 + 5, size.height() / 7 + 5));
    EXPECT_EQ(find<QComboBox>(&w, "CboD")->currentIndex(), 14);
    Snapshot(&w, "wnl_1582-10");

    // Across year 0 both ways.
    w.SetDate({1, 1, 1, 12, 0});
    w.BitBtn2Click();
    EXPECT_EQ(find<QLineEdit>(&w, "EdtYear")->text(), QStringLiteral("-1"));
    EXPECT_EQ(find<QLabel>(&w, "LabShow")->text(), QStringLiteral("-1年12月"));
    w.BitBtn1Click();
    EXPECT_EQ(find<QLabel>(&w, "LabShow")->text(), QStringLiteral("1年1月"));

    // The ends of the range, and months with leap lunar months.
    for (const TDateRec &d : {TDateRec{-4712, 1, 1, 12, 0}, TDateRec{9999, 12, 31, 12, 0},
                              TDateRec{2023, 3, 22, 12, 0}, TDateRec{2033, 12, 22, 12, 0}}) {
        w.SetDate(d);
        Snapshot(&w, QStringLiteral("wnl_%1-%2").arg(d.year).arg(d.month).toLatin1().constData());
    }
    w.SetDate({1, 1, 1, 12, 0});

    find<QLineEdit>(&w, "EdtYear")->setText(QStringLiteral("0"));
    EXPECT_FALSE(w.EdtYearEnter());
    EXPECT_EQ(lastText(), QStringLiteral("年份在-4713 到 9999之间"));
    EXPECT_EQ(find<QLabel>(&w, "LabShow")->text(), QStringLiteral("1年1月"));
}

TEST_F(ToolWindowTest, KeptWindowsAreReusedAndTheCalendarMovesToToday)
{
    QWidget owner;
    ShowWnl(&owner);
    auto *wnl = owner.findChild<TFrmWnl *>();
    ASSERT_NE(wnl, nullptr);
    wnl->SetDate({2000, 1, 1, 0, 0});
    ShowWnl(&owner);
    EXPECT_EQ(owner.findChildren<TFrmWnl *>().size(), 1);
    EXPECT_EQ(wnl->Month().date.year, QDate::currentDate().year());
    ShowJiuXing(&owner);
    ShowJiuXing(&owner);
    ShowFeiBu(&owner);
    EXPECT_EQ(owner.findChildren<TFrmJiuXing *>().size(), 1);
    EXPECT_TRUE(owner.findChild<TFrmFeiBu *>()->isVisible());
}

// The widths of the runs of dark (text) columns in rows [top, bottom), runs closer than `gap` joined: one run per
// number, however its digits are spaced, while the numbers stand apart.
QList<int> InkRunWidths(const QImage &image, int top, int bottom, int gap)
{
    QList<int> widths;
    for (int x = 0, last = -gap - 1; x < image.width(); ++x) {
        bool ink = false; // dark in every channel: black, not the ruler's red
        for (int y = top; y < bottom && !ink; ++y)
            ink = QColor(image.pixel(x, y)).value() < 128;
        if (ink && x - last > gap)
            widths << 1;
        else if (ink)
            widths.last() += x - last;
        last = ink ? x : last;
    }
    return widths;
}

TEST_F(ToolWindowTest, DoorRulerNumbersStandApartAtEveryLength)
{
    TFrmMenChi2 w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (const char *length : {"18.8", "120", "1234", "9999"}) {
        find<QLineEdit>(&w, "LedtIn")->setText(QString::fromLatin1(length));
        QTest::mouseClick(find<QPushButton>(&w, "BtoCal"), Qt::LeftButton);
        const ScaleGeometry &g = w.Geometry();
        const QFontMetrics fm(QFont(QStringLiteral("宋体"), g.fontSize));
        // The centimetre numbers stand under the longest ticks, which reach half way down the first of four bands;
        // the unit right of the scale is left out.
        const QImage picture = find<TImage>(&w, "Img")->Picture();
        const int below = g.top + ((picture.height() - g.top - 6) / 4 - 4) / 2;
        const QList<int> numbers = InkRunWidths(picture.copy(0, 0, g.right + 2, picture.height()), below + 2,
                                                below + fm.ascent(), fm.horizontalAdvance('0') / 2);
        EXPECT_GE(numbers.size(), 5) << length;
        for (int width : numbers)
            EXPECT_LE(width, fm.horizontalAdvance(QStringLiteral("9999"))) << length;
    }
    Snapshot(&w, "menchi2_9999");
}

TEST_F(ToolWindowTest, DoorRulersReadLengthsAndRefuseBadOnes)
{
    writeFile(QStringLiteral("dat/set.ini"), "[set]\nmengong=nan\ndinglan=38.78\n");
    TFrmMenChi2 w;
    w.resize(1000, 660);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_DOUBLE_EQ(w.MenGongLength(), 42.9);
    EXPECT_DOUBLE_EQ(w.DingLanLength(), 38.78);
    auto *in = find<QLineEdit>(&w, "LedtIn");
    for (const char *bad : {"9999.5", "-1", "abc", "nan"}) {
        in->setText(QString::fromLatin1(bad));
        EXPECT_FALSE(w.BtoCalClick()) << bad;
        EXPECT_TRUE(in->text().isEmpty());
    }
    for (const char *good : {"0", "9999", "42.9"}) {
        in->setText(QString::fromLatin1(good));
        EXPECT_TRUE(w.BtoCalClick()) << good;
    }
    const QString reading = find<QPlainTextEdit>(&w, "Memo1")->toPlainText();
    EXPECT_NE(reading.indexOf(QStringLiteral("【财】字[财德]格上")), -1);
    EXPECT_NE(reading.indexOf(QStringLiteral("鲁班尺诗曰：")), -1);
    Snapshot(&w, "menchi2_42.9");

    // Dragging the pointer left stops at 1 cm.
    w.SetLength(1.5);
    auto *img = find<TImage>(&w, "Img");
    const int x = PointerX(w.Geometry(), w.Length());
    QTest::mousePress(img, Qt::LeftButton, {}, QPoint(x, w.Geometry().top - 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(x - 200, w.Geometry().top), img->mapToGlobal(QPointF(x - 200, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(img, &move);
    QTest::mouseRelease(img, Qt::LeftButton, {}, QPoint(x - 200, w.Geometry().top));
    EXPECT_DOUBLE_EQ(w.Length(), 1.0);
    w.SetLength(18.8);
    Snapshot(&w, "menchi2_18.8");

    TFrmMenChi mc;
    mc.resize(1200, 280);
    mc.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mc));
    prompts.reply(QStringLiteral("46.08"));
    ASSERT_TRUE(mc.AskLength(true));
    EXPECT_EQ(find<QLabel>(&mc, "labface")->text(), QStringLiteral("长度46.08厘米对应6宫"));
    Snapshot(&mc, "menchi_front");
    mc.SetFace(false);
    Snapshot(&mc, "menchi_back");
    prompts.reply(QStringLiteral("-3")).reply(Answer::Ok).reply(QStringLiteral("123456789")).reply(Answer::Ok);
    EXPECT_FALSE(mc.AskLength(false));
    EXPECT_EQ(lastText(), QStringLiteral("物件长度应为正数"));
    EXPECT_FALSE(mc.AskLength(false));
    EXPECT_EQ(lastText(), QStringLiteral("数字长度在1-8位"));
    EXPECT_DOUBLE_EQ(mc.Length(), 46.08);
}
