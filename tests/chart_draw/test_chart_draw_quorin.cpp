// The drawing fed by the chart object's own computation: its tables must agree with the reference houses written
// out by hand, its pictures with theirs, and dragging the axis must lay the chart out again.
#include "ChartPainterQuorin.h"
#include "ChartRender.h"
#include "MQuorin.h"
#include "ReferenceHouse.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TRecordData ReferenceCase()
{
    TRecordData rec;
    rec.date = {1980, 0, 0, 0, 0};  // no birth date: the year alone fixes the life trigram
    rec.sex = 1;
    rec.buildYear = 2010;           // period 8
    rec.mountain = 4 * 1 + 1;       // 子
    rec.degree = 0.0f;
    rec.door = 13;                  // 午
    rec.xiaGua = 1;
    rec.chartPanel = PanelXuanKong;
    return rec;
}

TRecordData JianCase()
{
    TRecordData rec = ReferenceCase();
    rec.mountain = 4 * 9 + 2;  // 辰山兼巽
    rec.degree = 124.0f;
    rec.door = 21;             // 戌
    rec.xiaGua = 0;
    return rec;
}

void ExpectSameTables(const ChartDrawData& got, const ChartDrawData& want)
{
    EXPECT_EQ(got.ZuoShan, want.ZuoShan);
    EXPECT_EQ(got.JianShan, want.JianShan);
    EXPECT_EQ(got.GuaIndex, want.GuaIndex);
    EXPECT_EQ(got.FenJinGanZhi, want.FenJinGanZhi);
    EXPECT_EQ(got.Yun, want.Yun);
    EXPECT_EQ(got.MingGanZhi, want.MingGanZhi);
    EXPECT_EQ(got.XiaGua, want.XiaGua);
    EXPECT_EQ(got.TiGua, want.TiGua);
    EXPECT_EQ(got.ChengMen, want.ChengMen);
    EXPECT_EQ(got.BaZhai, want.BaZhai);
    EXPECT_EQ(got.BaZhaiFuWei, want.BaZhaiFuWei);
    EXPECT_EQ(got.YearStars, want.YearStars);
    EXPECT_EQ(got.MonthStars, want.MonthStars);
    EXPECT_EQ(got.NeiQiStars, want.NeiQiStars);
    EXPECT_FLOAT_EQ(got.PanAngle, want.PanAngle);
}

class QuorinDrawing : public ::testing::Test {
protected:
    QImage picture;
    MQuorin q{nullptr, &picture, nullptr};

    void LayOut(const TRecordData& rec, int shape)
    {
        ASSERT_TRUE(q.CalcChart(rec)) << q.sMessage.toStdString();
        q.iPanShape = shape;
        SetQuorinPanSize(q, 500, 580, true);
    }
};

}  // namespace

TEST_F(QuorinDrawing, ComputedTablesMatchTheHandWrittenHouses)
{
    ASSERT_TRUE(q.CalcChart(ReferenceCase())) << q.sMessage.toStdString();
    ExpectSameTables(ChartDrawDataOf(q), ReferenceHouse());
    ASSERT_TRUE(q.CalcChart(JianCase())) << q.sMessage.toStdString();
    ExpectSameTables(ChartDrawDataOf(q), JianHouse());
}

TEST_F(QuorinDrawing, PicturesMatchTheHandWrittenHouses)
{
    for (const int shape : {0, 1}) {
        LayOut(ReferenceCase(), shape);
        ChartDrawData want = ReferenceHouse();
        want.iPanShape = shape;
        EXPECT_EQ(picture, RenderChart(want)) << "shape " << shape;
        SavePng(picture, shape ? "quorin_square_xiagua" : "quorin_round_xiagua");

        LayOut(JianCase(), shape);
        want = JianHouse();
        want.iPanShape = shape;
        EXPECT_EQ(picture, RenderChart(want)) << "shape " << shape;
        SavePng(picture, shape ? "quorin_square_jian124" : "quorin_round_jian124");
    }
    // The square chart's layout is kept by the chart object.
    EXPECT_EQ(q.rcGrid, QRect(QPoint(109, 149), QPoint(391, 431)));
    EXPECT_EQ(q.iBaseShan, 1);
}

TEST_F(QuorinDrawing, PictureSizeSetsTheGeometry)
{
    SetQuorinPanSize(q, 1000, 580, false);
    EXPECT_EQ(picture.size(), QSize(1000, 580));
    EXPECT_FLOAT_EQ(q.fRadius, 290);
    EXPECT_EQ(q.iTextSize, 12);
    // The frame of an undrawn picture, whole: on the outermost pixels of all four edges.
    for (const QPoint p : {QPoint(0, 300), QPoint(999, 300), QPoint(500, 0), QPoint(500, 579), QPoint(999, 579)})
        EXPECT_EQ(qGray(picture.pixel(p)), 0) << p.x() << "," << p.y();
    EXPECT_EQ(qGray(picture.pixel(998, 300)), 255);
    EXPECT_EQ(qGray(picture.pixel(500, 300)), 255);
    SetQuorinPanSize(q, 20, 20, false);
    EXPECT_EQ(picture.size(), QSize(100, 100));
}

TEST_F(QuorinDrawing, DraggingTheAxisLaysTheChartOutAgain)
{
    LayOut(ReferenceCase(), 0);
    const QImage before = picture;
    const double r = q.fRadius;
    auto at = [&](double theta) {
        const double rad = theta * 3.14159265358979 / 180.0;
        return std::pair{int(std::lround(q.fCenterX + 0.4 * r * std::cos(rad))),
                         int(std::lround(q.fCenterY - 0.4 * r * std::sin(rad)))};
    };
    const auto [x0, y0] = at(270);  // the sitting end of the axis
    EXPECT_EQ(HitTestQuorinPan(q, x0, y0), DragZuoXiang);
    const auto [x1, y1] = at(280);  // 10° counter-clockwise on the screen: 350°, 壬
    ASSERT_TRUE(TurnQuorinZuoXiang(q, x0, y0, x1, y1));
    EXPECT_NEAR(q.Rec.degree, 350.0, 1.0);
    EXPECT_EQ(q.ZuoShan, 0);
    // 壬山丙向 in period 8: mountain stars fly backward from 4, facing stars forward from 3.
    EXPECT_EQ(q.XiaGua[8][0], 4);
    EXPECT_EQ(q.XiaGua[7][0], 3);
    EXPECT_EQ(q.XiaGua[7][1], 4);
    EXPECT_NE(picture, before);

    // Turning the drawing by its ring changes the angle only.
    const float pan = q.PanAngle;
    const auto [rx0, ry0] = at(40);
    const auto [rx1, ry1] = at(50);
    RotateQuorinPan(q, rx0, ry0, rx1, ry1);
    EXPECT_NEAR(q.PanAngle, pan + 10.0f, 1.0f);
    EXPECT_NEAR(q.Rec.degree, 350.0, 1.0);
}

TEST_F(QuorinDrawing, EveryViewOfTheReferenceHouse)
{
    const uint8_t all[4] = {1, 1, 1, 1};
    struct View {
        const char* name;
        int panel;
        bool xiaGua, four;
    };
    const View views[] = {{"tigua", PanelXuanKong, false, false},   {"bazhai4", PanelBaZhai, true, true},
                          {"liunian2024", PanelLiuNian, true, false}, {"neiqi", PanelNeiQi, true, false},
                          {"liunian8_2024", PanelLiuNian8, true, true}};
    for (const View& v : views)
        for (const int shape : {0, 1}) {
            TRecordData rec = ReferenceCase();
            rec.xiaGua = v.xiaGua;
            rec.chartPanel = v.panel;
            ASSERT_EQ(q.SetShowGua(all), 0);
            if (!v.four) {
                const uint8_t one[4] = {1, 0, 0, 0};
                ASSERT_EQ(q.SetShowGua(one), 0);
            }
            q.bShowMonth = q.bShowNeiQi = 1;
            LayOut(rec, shape);

            ChartDrawData want = ReferenceHouse();
            want.xiaGua = v.xiaGua;
            want.chartPanel = v.panel;
            want.iPanShape = shape;
            want.bShowMonth = want.bShowNeiQi = true;
            if (v.four)
                ShowFourLabels(want);
            EXPECT_EQ(picture, RenderChart(want)) << v.name << " shape " << shape;
            SavePng(picture, QString("quorin_%1_%2").arg(shape ? "square" : "round", v.name));
        }
}

TEST_F(QuorinDrawing, CompassViewDrawsTheCompass)
{
    LayOut(ReferenceCase(), 1);
    q.Rec.chartPanel = PanelCompass;
    ASSERT_TRUE(DrawQuorinPan(q));
    SavePng(picture, "quorin_compass_default_layers");
    // The compass rim at 0.99 of the radius, below the centre, and the frame of the picture.
    int dark = 0;
    for (int y = 290 + 245; y <= 290 + 249; ++y)
        dark += qGray(picture.pixel(250, y)) < 128;
    EXPECT_GT(dark, 0);
    EXPECT_LT(qGray(picture.pixel(0, 300)), 128);
}
