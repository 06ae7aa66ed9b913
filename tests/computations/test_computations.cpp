// A program that links only the computation libraries (chart, calendar, cases, platform core) lays out a
// chart: the build proves that the computations need no widgets and no pictures.
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

TEST(Computations, LayOutAChartWithoutWidgets)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.CalcChart(ReferenceHouse())) << q.sMessage.toStdString();
    EXPECT_EQ(q.Yun, 8);
    EXPECT_EQ(q.XiaGua[8][0], 4); // 8运子山午向: 山星 4 in the centre
    EXPECT_EQ(q.XiaGua[8][1], 3);
    EXPECT_FALSE(q.LaidOut()); // no drawing and no reading without their libraries
}
