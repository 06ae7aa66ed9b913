#include "WinColor.h"

#include <gtest/gtest.h>

TEST(WinColor, BgrValuesBecomeOpaqueColoursAndBack)
{
    const QColor c = WinColorToQColor(0x00336699); // BB=33 GG=66 RR=99
    EXPECT_EQ(c, QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(WinColorToRgb(0xFF0000FF), qRgb(255, 0, 0)); // the top byte is no alpha
    EXPECT_EQ(QColorToWinColor(QColor(0x99, 0x66, 0x33, 10)), 0x00336699u);
    EXPECT_EQ(QColorToWinColor(WinColorToQColor(0x00FF00FF)), 0x00FF00FFu);
}
