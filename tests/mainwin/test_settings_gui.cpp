// The settings file a fresh program folder ships with: every reader of it agrees from the first start.
#include "GuiTestSupport.h"

#include "ChartSettings.h"
#include "MQuorin.h"
#include "TFrmMain.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

namespace {

class FreshInstallTest : public ProgramFolderTest {};

} // namespace

TEST_F(FreshInstallTest, WindowAndChartClassifyADegreeTheSameWay)
{
    QFile shipped(QStringLiteral(QUORIN_SHIPPED_SET_INI));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    writeFile(QStringLiteral("dat/set.ini"), shipped.readAll());

    MQuorin chart;
    TFrmMain w;
    w.show();
    EXPECT_DOUBLE_EQ(w.FJian(), chart.fJian);
    // 4° either side of 子's centre: inside the shipped 兼 width, so the pure mountain in both places.
    for (const auto &[typed, degree] : {std::pair{"4:0", 4.0}, {"356:0", 356.0}}) {
        find<QLineEdit>(&w, "LedtZtd")->setText(QString::fromLatin1(typed));
        w.SpeedButton2Click();
        EXPECT_EQ(find<QComboBox>(&w, "CboZuoShan")->currentIndex(), int(chart.DegreeToItem(degree))) << typed;
        EXPECT_EQ(int(chart.DegreeToItem(degree)), 4 * 1 + 1) << typed;
    }
    prompts.reply(Prompts::Answer::Yes);
    w.close();
}

TEST_F(FreshInstallTest, EveryReaderTakesTheShippedValues)
{
    QFile shipped(QStringLiteral(QUORIN_SHIPPED_SET_INI));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    writeFile(QStringLiteral("dat/set.ini"), shipped.readAll());
    // Whatever the reader's own defaults, the shipped file decides.
    ChartSettings odd;
    odd.fJian = 1.0;
    odd.iCoord = 2;
    odd.bWuHint = true;
    odd.mengong = QStringLiteral("1");
    const ChartSettings s = ReadChartSettings(odd);
    EXPECT_DOUBLE_EQ(s.fJian, 4.5);
    EXPECT_EQ(s.fJianText, QStringLiteral("4.5"));
    EXPECT_EQ(s.iCoord, 1);
    EXPECT_FALSE(s.bWuHint);
    EXPECT_EQ(s.mengong, QStringLiteral("46.08"));
    EXPECT_TRUE(s.bChengMen);
}
