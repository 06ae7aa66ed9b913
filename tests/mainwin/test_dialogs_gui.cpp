#include "GuiTestSupport.h"

#include "ChartSettings.h"
#include "IniFile.h"
#include "MUiFont.h"
#include "Resources.h"
#include "TFrmCompassLayer.h"
#include "TFrmSet.h"
#include "TFrmSetPen.h"
#include "TFrmText.h"
#include "TFrmTxtHelp.h"
#include "TImage.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QRegularExpression>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using Answer = Prompts::Answer;

namespace {

const QString kSet = QStringLiteral("set");

class SettingsDialogTest : public ProgramFolderTest {
protected:
    IniFile ini{path("dat/set.ini")};

    // Shows the dialog, lets `edit` change it, presses "保存设置"; whether the dialog accepted, and where the focus
    // went.
    bool saveWith(const std::function<void(QWidget *)> &edit, QString *focus = nullptr)
    {
        TFrmSet dlg;
        dlg.show();
        edit(&dlg);
        prompts.reply(Answer::Ok);
        QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn1"), Qt::LeftButton);
        if (focus)
            *focus = dlg.focusWidget() ? dlg.focusWidget()->objectName() : QString();
        return dlg.result() == QDialog::Accepted;
    }

    QString lastText() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }
};

int checkedIndex(QWidget *dlg, const char *group)
{
    const QList<QRadioButton *> buttons = find<QGroupBox>(dlg, group)->findChildren<QRadioButton *>();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

TEST_F(SettingsDialogTest, WithoutAFileTheDialogShowsItsDefaults)
{
    TFrmSet dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("排盘设置"));
    EXPECT_EQ(find<QLineEdit>(&dlg, "LedtJian")->text(), QStringLiteral("4.5"));
    EXPECT_EQ(find<QLineEdit>(&dlg, "LedtLeft")->text(), QStringLiteral("0"));
    EXPECT_EQ(find<QLineEdit>(&dlg, "LabMenGong")->text(), QStringLiteral("46.08"));
    EXPECT_EQ(find<QLineEdit>(&dlg, "LabDingLan")->text(), QStringLiteral("38.78"));
    EXPECT_EQ(checkedIndex(&dlg, "RdoCoord"), 0);
    EXPECT_TRUE(find<QCheckBox>(&dlg, "ChkHint")->isChecked());
    EXPECT_TRUE(find<QCheckBox>(&dlg, "ChkChengMen")->isChecked());
    EXPECT_FALSE(find<QCheckBox>(&dlg, "ChkZhouTian")->isChecked());
    auto *size = find<QComboBox>(&dlg, "CboUiSize");
    EXPECT_GE(size->count(), 21);
    EXPECT_EQ(TFrmSet::FontSizeOfItem(size->currentText()), 0);
    EXPECT_TRUE(size->itemText(10).startsWith(QStringLiteral("0(默认)")));
    EXPECT_EQ(size->itemText(0).left(3), QStringLiteral("+10"));
    // Exactly one item carries the recommendation.
    int recommended = 0;
    for (int i = 0; i < size->count(); ++i)
        recommended += size->itemText(i).endsWith(QStringLiteral("(推荐)")) ? 1 : 0;
    EXPECT_EQ(recommended, 1);
}

// A value out of its range is refused with its message and the focus on it, and nothing is written; the door
// rulers take lengths of 1 to 1000 cm, so that a ruler never silently falls back to a length of its own.
TEST_F(SettingsDialogTest, ValuesOutOfRangeAreRefusedWithTheFocusOnThemAndNothingWritten)
{
    const char *jian = "请输入合适的度数，超过这个度数山向要考虑兼向！";
    const char *menGong = "门公尺长度范围：1-1000，长度单位是厘米！";
    const char *dingLan = "丁兰尺长度范围：1-1000，长度单位是厘米！";
    const struct {
        const char *edit, *text, *message;
    } refused[] = {{"LedtJian", "7.1", jian},     {"LedtJian", "0.9", jian},         {"LedtJian", "abc", jian},
                   {"LedtJian", "nan", jian},     {"LedtLeft", "", "文本左边距离不能小于0"}, {"LabMenGong", "-46.08", menGong},
                   {"LabMenGong", "4x", menGong}, {"LabMenGong", "0.99", menGong},  {"LabDingLan", "1000.5", dingLan},
                   {"LabDingLan", "", dingLan}};
    for (const auto &r : refused) {
        QString focus;
        EXPECT_FALSE(saveWith([&](QWidget *dlg) { find<QLineEdit>(dlg, r.edit)->setText(QString::fromLatin1(r.text)); }, &focus))
            << r.edit << " " << r.text;
        EXPECT_EQ(lastText(), QString::fromUtf8(r.message)) << r.edit << " " << r.text;
        EXPECT_EQ(focus, QString::fromLatin1(r.edit)) << r.text;
        EXPECT_FALSE(QFile::exists(path("dat/set.ini")));
    }
    const struct {
        const char *edit, *key, *text;
    } accepted[] = {{"LedtJian", "fJian", "1"}, {"LedtJian", "fJian", "7"}, {"LabMenGong", "mengong", "1"},
                    {"LabDingLan", "dinglan", "1000"}};
    for (const auto &a : accepted) {
        EXPECT_TRUE(saveWith([&](QWidget *dlg) { find<QLineEdit>(dlg, a.edit)->setText(QString::fromLatin1(a.text)); }));
        EXPECT_EQ(lastText(), QStringLiteral("已经保存软件设置的修改，请重新排盘！"));
        EXPECT_EQ(ini.ReadString(kSet, QLatin1String(a.key), QString()), QString::fromLatin1(a.text));
    }
}

TEST_F(SettingsDialogTest, ASettingsFileThatCannotBeWrittenIsReportedInChineseAndTheDialogStays)
{
    ASSERT_TRUE(QDir(path("dat")).removeRecursively());
    writeFile(QStringLiteral("dat"), "a file where the folder should be");
    EXPECT_FALSE(saveWith([](QWidget *) {}));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().last().title, QStringLiteral("错误"));
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("无法保存软件设置"))) << lastText().toStdString();
    // Apart from the file's name and the system's reason in brackets at the end, the text is Chinese.
    const QString own = QString(lastText()).remove(path("dat/set.ini")).remove(QRegularExpression(QStringLiteral("（[^（]*）$")));
    EXPECT_NE(own, lastText().remove(path("dat/set.ini"))) << "no reason: " << lastText().toStdString();
    EXPECT_FALSE(own.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}")))) << lastText().toStdString();
}

TEST_F(SettingsDialogTest, SavingWritesTheFourteenKeysInOrder)
{
    ASSERT_TRUE(saveWith([&](QWidget *dlg) {
        find<QRadioButton>(dlg, "GrpFuWei_2")->setChecked(true);
        find<QRadioButton>(dlg, "RdoTilt_1")->setChecked(true);
        find<QLineEdit>(dlg, "LabMenGong")->setText(QStringLiteral("42.9"));
        auto *size = find<QComboBox>(dlg, "CboUiSize");
        size->setItemText(7, size->itemText(7) + QStringLiteral("(推荐)"));
        size->setCurrentIndex(7); // "+3"
    }));
    EXPECT_EQ(ini.ReadSection(kSet),
              (QStringList{"ileft", "fJian", "liunian", "fuwei", "mengong", "dinglan", "iCoord", "bZhouTian",
                           "bWuHint", "iTilt", "bChengMen", "dayStar", "iFontSizeVar", "bChangeMenuSize"}));
    EXPECT_EQ(ini.ReadInteger(kSet, QStringLiteral("fuwei"), -1), 2);
    EXPECT_EQ(ini.ReadInteger(kSet, QStringLiteral("iTilt"), -1), 1);
    EXPECT_EQ(ini.ReadString(kSet, QStringLiteral("mengong"), QString()), QStringLiteral("42.9"));
    EXPECT_EQ(ini.ReadString(kSet, QStringLiteral("bWuHint"), QString()), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadInteger(kSet, QStringLiteral("iFontSizeVar"), 0), 3);
}

TEST_F(SettingsDialogTest, DefaultButtonAndReturnWriteNothing)
{
    ini.WriteString(kSet, QStringLiteral("fJian"), QStringLiteral("6"));
    ini.WriteInteger(kSet, QStringLiteral("iFontSizeVar"), 15);
    TFrmSet dlg;
    dlg.show();
    auto *size = find<QComboBox>(&dlg, "CboUiSize");
    EXPECT_EQ(size->currentText(), QStringLiteral("15")); // not in the list: added and chosen
    EXPECT_EQ(size->currentIndex(), size->count() - 1);
    EXPECT_EQ(find<QLineEdit>(&dlg, "LedtJian")->text(), QStringLiteral("6"));
    QTest::mouseClick(find<QPushButton>(&dlg, "Button1"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>(&dlg, "LedtJian")->text(), QStringLiteral("4.5"));
    EXPECT_EQ(checkedIndex(&dlg, "RdoCoord"), 1);
    EXPECT_FALSE(find<QCheckBox>(&dlg, "ChkHint")->isChecked());
    EXPECT_EQ(size->currentIndex(), 10);
    QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(ini.ReadString(kSet, QStringLiteral("fJian"), QString()), QStringLiteral("6"));
    EXPECT_EQ(prompts.asked().size(), 0);
}

TEST(FontSizeItem, TextBeforeTheBracketIsTheDelta)
{
    EXPECT_EQ(TFrmSet::FontSizeOfItem(QStringLiteral("+3(推荐)")), 3);
    EXPECT_EQ(TFrmSet::FontSizeOfItem(QStringLiteral("0(默认)")), 0);
    EXPECT_EQ(TFrmSet::FontSizeOfItem(QStringLiteral("-7")), -7);
    EXPECT_EQ(TFrmSet::FontSizeOfItem(QStringLiteral("(推荐)")), 0);
    EXPECT_EQ(TFrmSet::FontSizeOfItem(QStringLiteral("abc")), 0);
}

// ---------------------------------------------------------------------------------------------------------

class FontScalerTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        form.setObjectName(QStringLiteral("Form"));
        QFont f(QStringLiteral("宋体"));
        f.setPointSize(9);
        form.setFont(f);
        form.setGeometry(50, 60, 300, 200);
        panel = new QWidget(&form);
        panel->setObjectName(QStringLiteral("Panel"));
        panel->setGeometry(10, 20, 200, 100);
        button = new QPushButton(QStringLiteral("按钮"), panel);
        button->setObjectName(QStringLiteral("Button"));
        button->setGeometry(5, 6, 80, 24);
        image = new TImage(&form);
        image->setObjectName(QStringLiteral("Img"));
        image->setGeometry(0, 130, 50, 50);
    }

    QWidget form;
    QWidget *panel = nullptr;
    QPushButton *button = nullptr;
    TImage *image = nullptr;
};

TEST_F(FontScalerTest, ZeroDeltaChangesNothing)
{
    MUiFont scaler;
    EXPECT_FALSE(scaler.ApplyToForm(&form));
    EXPECT_EQ(button->geometry(), QRect(5, 6, 80, 24));
    EXPECT_EQ(button->font().pointSize(), 9);
}

TEST_F(FontScalerTest, DeltaScalesFontsAndBoundsButNotSkippedControls)
{
    IniFile(path("dat/set.ini")).WriteInteger(kSet, QStringLiteral("iFontSizeVar"), 3);
    MUiFont scaler;
    const ChartSettings settings = ReadChartSettings();
    scaler.LoadSettings(settings.iFontSizeVar, settings.bChangeMenuSize);
    ASSERT_EQ(scaler.FontSizeVar(), 3);
    float rx = 0, ry = 0;
    ASSERT_TRUE(scaler.GetRatios(9, rx, ry));
    EXPECT_GT(rx, 1.2f);
    ASSERT_TRUE(scaler.ApplyToForm(&form, {QStringLiteral("panel")})); // names match whatever their case
    EXPECT_EQ(button->font().pointSize(), 12);
    EXPECT_EQ(button->width(), int(80 * double(rx)));
    EXPECT_EQ(button->x(), int(5 * double(rx)));
    EXPECT_EQ(panel->geometry(), QRect(10, 20, 200, 100)); // skipped, its child still scaled
    EXPECT_EQ(panel->font().pointSize(), 9);
    EXPECT_EQ(form.pos(), QPoint(50, 60)); // a window keeps its place
    EXPECT_EQ(form.width(), int(300 * double(rx)));
    EXPECT_EQ(form.font().pointSize(), 12);
}

TEST_F(FontScalerTest, AContainerWithItsOwnFontScalesItsChildrenFromThatFont)
{
    QFont big = panel->font();
    big.setPointSize(12);
    panel->setFont(big);
    MUiFont scaler;
    scaler.SetFontSizeVar(2);
    float rx12 = 0, ry12 = 0;
    ASSERT_TRUE(scaler.GetRatios(12, rx12, ry12));
    ASSERT_TRUE(scaler.ApplyToForm(&form));
    EXPECT_EQ(button->font().pointSize(), 14);
    EXPECT_EQ(button->width(), int(80 * double(rx12)));
    EXPECT_EQ(panel->font().pointSize(), 14);
    EXPECT_EQ(form.font().pointSize(), 11);
}

TEST_F(FontScalerTest, SizesOutsideThreeToHundredAreLeftAlone)
{
    MUiFont scaler;
    scaler.SetFontSizeVar(-7);
    EXPECT_FALSE(scaler.ApplyToForm(&form));
    scaler.SetFontSizeVar(92);
    EXPECT_FALSE(scaler.ApplyToForm(&form));
    EXPECT_EQ(button->font().pointSize(), 9);
    scaler.SetFontSizeVar(91);
    EXPECT_TRUE(scaler.ApplyToForm(&form));
    EXPECT_EQ(button->font().pointSize(), 100);
}

TEST_F(FontScalerTest, RecommendationIsZeroOnAScreen1920Wide)
{
    // The offscreen screen is narrower than 1920: the recommendation shrinks the font, never grows it.
    MUiFont scaler;
    EXPECT_LE(scaler.RecommendedDelta(&form), 0);
}

// ---------------------------------------------------------------------------------------------------------

class SmallDialogTest : public ProgramFolderTest {};

TEST_F(SmallDialogTest, TextDialogShowsTheMountainsVerdicts)
{
    const QString rule(71, QLatin1Char('-'));
    const QString zi = TFrmText::MountainText(1);
    ASSERT_FALSE(LoadStr(1110).isEmpty());
    EXPECT_TRUE(zi.startsWith(LoadStr(1110) + QLatin1Char('\n') + LoadStr(1111) + QLatin1Char('\n') + rule));
    EXPECT_TRUE(zi.contains(LoadStr(1115) + QLatin1Char('\n') + rule + QLatin1Char('\n') + LoadStr(1339)));
    EXPECT_TRUE(zi.endsWith(LoadStr(1339) + QStringLiteral("\n\n")));
    EXPECT_EQ(zi.count(rule), 3);
    EXPECT_FALSE(zi.contains(LoadStr(1116)) && !LoadStr(1116).isEmpty());
    // 艮 carries two more verdicts, set off in pairs.
    const QString gen = TFrmText::MountainText(4);
    EXPECT_TRUE(gen.contains(LoadStr(1145) + QStringLiteral("\n\n") + LoadStr(1146) + QLatin1Char('\n') +
                             LoadStr(1147) + QLatin1Char('\n') + rule));
    EXPECT_TRUE(TFrmText::MountainText(24).isEmpty());

    TFrmText dlg;
    dlg.SetText(gen);
    EXPECT_EQ(find<QPlainTextEdit>(&dlg, "Memo1")->toPlainText(), gen);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("二十四山年月日时吉凶定局"));
    dlg.resize(640, 560);
    dlg.show();
    EXPECT_TRUE(dlg.grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/TFrmText.png")));
}

TEST_F(SmallDialogTest, HelpHasItsPages)
{
    TFrmTxtHelp dlg;
    dlg.show();
    auto *pages = find<QTabWidget>(&dlg, "PageControl1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("使用说明"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("升级改进历史"));
    for (QPlainTextEdit *memo : dlg.findChildren<QPlainTextEdit *>()) {
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_FALSE(memo->toPlainText().isEmpty());
    }
}

TEST_F(SmallDialogTest, PenDialogEditsTheCallersPenOnlyOnSet)
{
    QPen pen(QColor(Qt::red), 80, Qt::DashLine);
    {
        TFrmSetPen dlg(pen);
        dlg.show();
        auto *width = find<QComboBox>(&dlg, "CboWidth");
        auto *style = find<QComboBox>(&dlg, "CboStyle");
        EXPECT_EQ(width->currentIndex(), 79);
        EXPECT_EQ(style->currentText(), QStringLiteral("Dash"));
        width->setCurrentIndex(0);
        emit width->activated(0);
        style->setCurrentIndex(5); // Clear
        emit style->activated(5);
        const QImage preview = find<TImage>(&dlg, "Img")->Picture();
        EXPECT_EQ(preview.pixel(preview.width() / 2, preview.height() / 2), qRgb(255, 255, 255));
        QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn2"), Qt::LeftButton);
    }
    EXPECT_EQ(pen.width(), 80);
    {
        TFrmSetPen dlg(pen);
        dlg.show();
        auto *width = find<QComboBox>(&dlg, "CboWidth");
        width->setCurrentIndex(4);
        emit width->activated(4);
        const QImage preview = find<TImage>(&dlg, "Img")->Picture();
        EXPECT_EQ(preview.pixel(3, preview.height() / 2), qRgb(255, 0, 0));
        prompts.reply(QColor(Qt::blue));
        QTest::mouseClick(find<QPushButton>(&dlg, "BtnColor"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn1"), Qt::LeftButton);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(pen.width(), 5);
    EXPECT_EQ(pen.color(), QColor(Qt::blue));
    EXPECT_EQ(pen.style(), Qt::DashLine);
}

TEST_F(SmallDialogTest, CompassLayerDialogFillsTheRingRecord)
{
    TCompassLayers layers{};
    layers.ring[1] = layers.ring[4] = layers.ring[12] = 1;
    layers.shanYin = 1;
    layers.count = 3;
    const TCompassLayers before = layers;
    {
        TFrmCompassLayer dlg(layers);
        dlg.show();
        auto *list = find<QListWidget>(&dlg, "ChkLayer");
        ASSERT_EQ(list->count(), 13);
        EXPECT_EQ(list->item(12)->text(), QStringLiteral("周天刻度"));
        EXPECT_EQ(list->item(4)->checkState(), Qt::Checked);
        EXPECT_TRUE(find<QRadioButton>(&dlg, "RdoShanYin_1")->isChecked());
        list->item(0)->setCheckState(Qt::Checked);
        QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn2"), Qt::LeftButton);
    }
    EXPECT_EQ(layers, before);
    {
        TFrmCompassLayer dlg(layers);
        dlg.show();
        auto *list = find<QListWidget>(&dlg, "ChkLayer");
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(i == 9 ? Qt::Checked : Qt::Unchecked);
        find<QRadioButton>(&dlg, "RdoGanZhi_1")->setChecked(true);
        find<QCheckBox>(&dlg, "ChkWxColor")->setChecked(true);
        QTest::mouseClick(find<QPushButton>(&dlg, "BitBtn1"), Qt::LeftButton);
    }
    TCompassLayers expected{};
    expected.ring[9] = 1;
    expected.shanYin = 1;
    expected.ganZhi = 1;
    expected.wxColor = 1;
    expected.count = 1;
    EXPECT_EQ(layers, expected);
}

} // namespace

namespace {

// Pictures of the dialogs for people to look at; each must hold every control at its needed size.
TEST_F(SmallDialogTest, DialogScreenshots)
{
    TCompassLayers layers{};
    QPen pen(Qt::black);
    TFrmSet set;
    TFrmCompassLayer layer(layers);
    TFrmSetPen penDlg(pen);
    TFrmTxtHelp help;
    const QList<std::pair<QWidget *, const char *>> dialogs = {
        {&set, "TFrmSet"}, {&layer, "TFrmCompassLayer"}, {&penDlg, "TFrmSetPen"}, {&help, "TFrmTxtHelp"}};
    for (const auto &[dlg, name] : dialogs) {
        dlg->show();
        QApplication::processEvents();
        EXPECT_GE(dlg->width(), dlg->minimumSizeHint().width()) << name;
        EXPECT_TRUE(dlg->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/%1.png").arg(QLatin1String(name))));
        for (QWidget *c : dlg->findChildren<QWidget *>()) {
            if (c->isVisible() && !c->objectName().startsWith(QLatin1String("qt_")) && !c->objectName().isEmpty()) {
                EXPECT_GE(c->width(), c->minimumSizeHint().width()) << name << " " << c->objectName().toStdString();
            }
        }
    }
}

} // namespace
