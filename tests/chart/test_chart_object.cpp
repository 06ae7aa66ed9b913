// The chart object: settings from set.ini, a whole chart, and stored cases that must be refused.
#include "ChartNameTables.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ChartSettings, MissingFileGivesDefaults)
{
    TempProgramFolder folder;
    MQuorin q;
    EXPECT_EQ(q.ileft, 0);
    EXPECT_EQ(q.liunian, 0);
    EXPECT_EQ(q.fuwei, 0);
    EXPECT_EQ(q.iCoord, 0);
    EXPECT_FLOAT_EQ(q.fJian, 4.5f);
    EXPECT_EQ(q.bZhouTian, 0);
    EXPECT_EQ(q.bWuHint, 1);
    EXPECT_EQ(q.iTilt, 0);
    EXPECT_EQ(q.bChengMen, 1);
    EXPECT_EQ(q.iPanShape, 1);
    EXPECT_EQ(q.iLiuNianYear, 2024);
    EXPECT_EQ(q.iLiuNianMonth, 6);
    EXPECT_EQ(q.iUndoIndex, -1);
    EXPECT_TRUE(q.sTempPath.endsWith(QStringLiteral("picTemp/")));
}

TEST(ChartSettings, ValuesAreRead)
{
    TempProgramFolder folder("[SET]\nileft=12\nliunian=1\nfuwei=3\niCoord=2\nfJian=3.0\nbZhouTian=1\n"
                             "bWuHint=0\niTilt=1\nbChengMen=0\n");
    MQuorin q;
    EXPECT_EQ(q.ileft, 12);
    EXPECT_EQ(q.liunian, 1);
    EXPECT_EQ(q.fuwei, 3);
    EXPECT_EQ(q.iCoord, 2);
    EXPECT_FLOAT_EQ(q.fJian, 3.0f);
    EXPECT_EQ(q.bZhouTian, 1);
    EXPECT_EQ(q.bWuHint, 0);
    EXPECT_EQ(q.iTilt, 1);
    EXPECT_EQ(q.bChengMen, 0);
    EXPECT_EQ(q.DegreeToItem(124.0), 38); // the narrower 兼 of this file
}

TEST(ChartSettings, OutOfRangeValuesFallBack)
{
    TempProgramFolder folder("[set]\nliunian=9\nfuwei=7\niCoord=-1\nfJian=-2\niTilt=300\n");
    MQuorin q;
    EXPECT_EQ(q.liunian, 0);
    EXPECT_EQ(q.fuwei, 0);
    EXPECT_EQ(q.iCoord, 0);
    EXPECT_FLOAT_EQ(q.fJian, 4.5f);
    EXPECT_EQ(q.iTilt, 0);
    EXPECT_EQ(q.GuaKind[0], 0);
    ASSERT_TRUE(q.CalcChart(ReferenceHouse()));
    EXPECT_EQ(q.BaZhaiFuWei, q.BaZhai[0]);
}

TEST(ChartSettings, ZeroAndTextJianFallBack)
{
    for (const char *ini : {"[set]\nfJian=0\n", "[set]\nfJian=abc\n", "[set]\nfJian=nan\n"}) {
        TempProgramFolder folder(ini);
        MQuorin q;
        EXPECT_FLOAT_EQ(q.fJian, 4.5f) << ini;
    }
}

TEST(ChartObject, ReferenceHouse)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.CalcChart(ReferenceHouse())) << q.sMessage.toStdString();
    EXPECT_EQ(q.Yun, 8);
    EXPECT_EQ(q.BuildYear, 2004);
    EXPECT_EQ(GanZhiName(q.BuildGanZhi), "甲申");
    EXPECT_EQ(q.MingYear, 1980);
    EXPECT_EQ(GanZhiName(q.MingGanZhi), "庚申");
    EXPECT_EQ(q.MingYun, 6);
    EXPECT_EQ(ShanName[q.ZuoShan], "子");
    EXPECT_EQ(q.JianShan, -1);
    EXPECT_EQ(q.JianSide, 0);
    EXPECT_EQ(q.PianDu, 0);
    EXPECT_EQ(q.PianFen, 0);
    EXPECT_EQ(GuaName[q.GuaIndex], "地雷复");
    EXPECT_EQ(GanZhiName(q.FenJinGanZhi), "戊子");
    EXPECT_FLOAT_EQ(q.PanAngle, 22.5f);
    EXPECT_EQ(q.Gong[PalaceIndex("坎")][3], kShuangXingHuiXiang);
    EXPECT_EQ(q.DaJieLi, 1);
    EXPECT_EQ(q.DaJieKan, 0);
    EXPECT_EQ(ShanName[q.ChengMen[0][0]], "巽");
    EXPECT_EQ(q.XingColor[0], 0xFF0000u);
    EXPECT_EQ(q.RingOffset, 0);
    for (int p = 0; p < 9; ++p)
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(q.Gong[p][b], q.XiaGua[p][b]);

    // The same house under 替卦 copies the replacement chart into the palace records.
    TRecordData ti = ReferenceHouse();
    ti.xiaGua = 0;
    ASSERT_TRUE(q.CalcChart(ti));
    EXPECT_EQ(q.Gong[8][0], 6);
    EXPECT_EQ(q.Gong[8][1], 2);

    q.SetColorMode(1);
    EXPECT_EQ(q.Rec.colour, 1);
    EXPECT_EQ(q.XingColor[8], 0x0000FFu);
}

TEST(ChartObject, DrawingRotation)
{
    TempProgramFolder folder("[set]\niCoord=2\n");
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.degree = 185.0f; // 午
    rec.mountain = 4 * 13 + 1;
    ASSERT_TRUE(q.CalcChart(rec));
    EXPECT_FLOAT_EQ(q.PanAngle, 27.5f); // 185 + 180 + 22.5, turned once round
}

TEST(ChartObject, BuildingYearLimit)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.buildYear = 44;
    EXPECT_TRUE(q.CalcChart(rec));
    EXPECT_EQ(q.Yun, 0);
    rec.buildYear = 43;
    EXPECT_FALSE(q.CalcChart(rec));
    EXPECT_EQ(q.sMessage, QStringLiteral("建宅年份在公元44年以后的才可算"));
}

TEST(BadStoredCase, RefusedWithAMessage)
{
    TempProgramFolder folder;
    MQuorin q;
    struct Bad {
        const char *what;
        void (*spoil)(TRecordData &);
        const char *message;
    };
    const Bad bad[] = {
        {"item 255", [](TRecordData &r) { r.mountain = 255; }, "请选择坐山！"},
        {"separator item", [](TRecordData &r) { r.mountain = 7; }, "请选择坐山！"},
        {"door 99", [](TRecordData &r) { r.door = 99; }, "请选择门向！"},
        {"NaN degree", [](TRecordData &r) { r.degree = std::nanf(""); },
         "这个周天度不在这个座山内,请确认一下周天度。"},
        {"infinite degree", [](TRecordData &r) { r.degree = INFINITY; },
         "这个周天度不在这个座山内,请确认一下周天度。"},
        {"month 13", [](TRecordData &r) { r.date.month = 13; }, "宅主生日：不存在这个日期"},
        {"month -1", [](TRecordData &r) { r.date.month = -1; }, "宅主生日：不存在这个日期"},
        {"day 0", [](TRecordData &r) { r.date.month = 5; r.date.day = 0; }, "宅主生日：不存在这个日期"},
        {"hour 24", [](TRecordData &r) { r.date.month = 5; r.date.hour = 24; }, "宅主生日：不存在这个日期"},
        {"minute 60", [](TRecordData &r) { r.date.month = 5; r.date.minute = 60; }, "宅主生日：不存在这个日期"},
        {"lunar day 31", [](TRecordData &r) { r.date.month = 5; r.date.day = 31; r.lunar = 1; },
         "宅主生日：不存在这个农历日期，无法转换到公历！"},
    };
    for (const Bad &b : bad) {
        TRecordData rec = ReferenceHouse();
        b.spoil(rec);
        EXPECT_FALSE(q.CalcChart(rec)) << b.what;
        EXPECT_EQ(q.sMessage, QString::fromUtf8(b.message)) << b.what;
        EXPECT_EQ(q.Yun, 0) << b.what; // results stay cleared
    }
    // Extreme but valid numbers compute without leaving the tables.
    TRecordData rec = ReferenceHouse();
    rec.buildYear = INT16_MAX;
    rec.date.year = INT16_MIN;
    EXPECT_TRUE(q.CalcChart(rec));
    EXPECT_LT(q.MingYun, 9);
    EXPECT_LT(q.BaZhai[1][0], 9);
}

} // namespace
