// The compass view and the floor plan through the chart object: the object's fields must follow every operation,
// since the main window reads them.
#include "ChartDrawData.h"
#include "ChartPainterQuorin.h"
#include "ChartTestUtil.h"
#include "FloorPlan.h"
#include "MQuorin.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cmath>

#include <gtest/gtest.h>

namespace {

QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

bool Dark(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// Whether some pixel within two of (x, y) is dark: a thin antialiased circle need not hit one exact pixel.
bool DarkNear(const QImage &image, int x, int y)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (Dark(image, x + dx, y + dy))
                return true;
    return false;
}

TCompassLayers DefaultRings()
{
    TCompassLayers l;
    l.ring[TCompassLayers::HouTian] = 1;
    l.ring[TCompassLayers::DiPan] = 1;
    l.ring[TCompassLayers::ZhouTian] = 1;
    l.count = 3;
    return l;
}

class CompassView : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetQuorinPanSize(q, 500, 580, false);
        ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    }
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
};

TEST_F(CompassView, DrawsTheChosenRingsAndMatchesTheViewDrawing)
{
    // Three rings of 0.15 from 0.99 in: the innermost band ends at 0.54 of the radius (135 px), on a ray between
    // the spokes and away from the labels.
    const double a = (90.0 + 11.25) * M_PI / 180.0;
    const int x = int(std::lround(250 + 135 * std::cos(a)));
    const int y = int(std::lround(290 - 135 * std::sin(a)));

    q.SetCompassLayers(TCompassLayers{});
    ASSERT_TRUE(q.DrawCompass());
    EXPECT_FALSE(DarkNear(chart, x, y));
    EXPECT_TRUE(Dark(chart, 0, 0)); // the frame

    q.SetCompassLayers(DefaultRings());
    ASSERT_TRUE(q.DrawCompass());
    EXPECT_TRUE(DarkNear(chart, x, y));

    // The compass view of the chart drawing is the same picture.
    const QImage direct = chart.copy();
    q.Rec.chartPanel = PanelCompass;
    ASSERT_TRUE(DrawQuorinPan(q));
    EXPECT_EQ(chart, direct);
}

TEST_F(CompassView, AStoredRingCountThatDisagreesIsIgnored)
{
    TCompassLayers all;
    for (int i = 0; i < TCompassLayers::kRingKinds; ++i)
        all.ring[size_t(i)] = 1;
    all.count = 13;
    q.SetCompassLayers(all);
    ASSERT_TRUE(q.DrawCompass());
    const QImage right = chart.copy();

    all.count = 3; // an old settings file: with 0.15 per ring, 13 rings would run past the centre
    q.SetCompassLayers(all);
    EXPECT_EQ(q.Layers.count, 13);
    ASSERT_TRUE(q.DrawCompass());
    EXPECT_EQ(chart, right);
}

TEST(CompassViewWithoutPicture, IsRefused)
{
    MQuorin q;
    q.SetCompassLayers(DefaultRings());
    EXPECT_FALSE(q.DrawCompass());
}

// A 400 × 300 plan with two rooms, loaded as the main window loads one: reset, own size, step 0.
class PlanThroughChart : public ::testing::Test {
protected:
    void SetUp() override
    {
        plan = QImage(400, 300, QImage::Format_RGB32);
        plan.fill(Qt::white);
        QPainter p(&plan);
        p.drawRect(20, 20, 180, 260);
        p.drawRect(200, 20, 180, 260);
    }
    void Load()
    {
        q.ResetBkUndo();
        q.RestoreBkSize(w, h);
        ASSERT_TRUE(q.SaveBkUndo()) << q.sMessage.toStdString();
    }
    void ExpectFieldsFollow(int width, int height)
    {
        EXPECT_EQ(q.iBkWidth, width);
        EXPECT_EQ(q.iBkHeight, height);
        EXPECT_EQ(q.iBkCenterX, width / 2);
        EXPECT_EQ(q.iBkCenterY, height / 2);
        EXPECT_EQ(q.iBkRadius, std::min(width, height) / 2);
        EXPECT_EQ(plan.size(), QSize(width, height));
    }
    TempProgramFolder folder;
    QImage chart;
    QImage plan;
    MQuorin q{nullptr, &chart, &plan};
    int w = 0, h = 0;
};

TEST_F(PlanThroughChart, LoadingSetsTheFieldsAndStepZero)
{
    Load();
    EXPECT_EQ(QSize(w, h), QSize(400, 300));
    ExpectFieldsFollow(400, 300);
    EXPECT_EQ(q.iBkOrigWidth, 400);
    EXPECT_EQ(q.iBkOrigHeight, 300);
    EXPECT_EQ(q.iUndoIndex, 0);
    ASSERT_TRUE(q.pBkBitmap);
    EXPECT_EQ(*q.pBkBitmap, plan);
    EXPECT_EQ(q.HitTestBk(395, 295), FloorPlan::HitBottomRight);
    EXPECT_EQ(q.SetBkCursor(395, 150), Qt::SizeHorCursor);
}

TEST_F(PlanThroughChart, DrawUndoRedoAndANewStepAfterUndo)
{
    Load();
    ASSERT_TRUE(q.BkLine(40, 150, 180, 150));
    EXPECT_EQ(q.iUndoIndex, 1);
    EXPECT_TRUE(Dark(*q.pBkBitmap, 100, 150)); // the work copy holds the step

    // Rubber band: drawn, then erased by the next preview; no step.
    const QImage before = plan.copy();
    ASSERT_TRUE(q.BkRectangle(220, 40, 300, 100, 220, 40, true));
    EXPECT_NE(plan, before);
    ASSERT_TRUE(q.BkRectangle(220, 40, 220, 40, 300, 100, true));
    EXPECT_EQ(plan, before);
    EXPECT_EQ(q.iUndoIndex, 1);

    ASSERT_TRUE(q.BkRectangle(220, 40, 300, 100, 220, 40, false));
    EXPECT_EQ(q.iUndoIndex, 2);
    EXPECT_TRUE(Dark(plan, 260, 40));

    ASSERT_TRUE(q.UndoBk(w, h));
    EXPECT_EQ(q.iUndoIndex, 1);
    EXPECT_FALSE(Dark(plan, 260, 40));
    EXPECT_EQ(*q.pBkBitmap, plan);
    ASSERT_TRUE(q.RedoBk(w, h));
    EXPECT_EQ(q.iUndoIndex, 2);
    EXPECT_TRUE(Dark(plan, 260, 40));

    ASSERT_TRUE(q.UndoBk(w, h));
    ASSERT_TRUE(q.BkEllipse(220, 120, 300, 200, 220, 120, false));
    EXPECT_EQ(q.iUndoIndex, 2);
    EXPECT_FALSE(q.RedoBk(w, h)); // the abandoned rectangle is out of reach
    EXPECT_EQ(q.iUndoIndex, 2);
    EXPECT_FALSE(Dark(plan, 260, 40));
}

TEST_F(PlanThroughChart, ResizeKeepsTheAspectAndUndoBringsBackTheStoredSize)
{
    Load();
    q.SetBkKeepRatio(1);
    EXPECT_EQ(q.bBkKeepRatio, 1);
    w = 480;
    q.ResizeBk(w, h, FloorPlan::HandleRight);
    EXPECT_EQ(QSize(w, h), QSize(480, 360));
    ExpectFieldsFollow(480, 360);

    // The window may switch the field itself; the plan follows it.
    q.bBkKeepRatio = 0;
    w = 300;
    q.ResizeBk(w, h, FloorPlan::HandleRight);
    EXPECT_EQ(QSize(w, h), QSize(300, 360));

    w = h = 5;
    q.ResizeBk(w, h, FloorPlan::HandleNone);
    ExpectFieldsFollow(FloorPlan::kMinSide, FloorPlan::kMinSide);

    ASSERT_TRUE(q.BkLine(0, 10, 19, 10)); // step 1 at 20 × 20
    ASSERT_TRUE(q.UndoBk(w, h));
    EXPECT_EQ(QSize(w, h), QSize(400, 300));
    ExpectFieldsFollow(400, 300);
    q.RestoreBkSize(w, h);
    EXPECT_EQ(q.iBkOrigWidth, 400);
}

TEST_F(PlanThroughChart, MergeNeedsALaidOutChart)
{
    Load();
    SetQuorinPanSize(q, 200, 232, false); // a picture, but no chart
    const QImage before = plan.copy();
    EXPECT_FALSE(q.MergePanToBk(QPoint(10, 10)));
    EXPECT_EQ(q.sMessage, Q("请先排一个正确的盘"));
    EXPECT_EQ(q.iUndoIndex, 0);
    EXPECT_EQ(plan, before);

    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    TRecordData bad = ReferenceHouse();
    bad.degree = 30.0f; // refused: the earlier chart no longer counts
    ASSERT_FALSE(q.PaiPan(bad));
    EXPECT_FALSE(q.MergePanToBk(QPoint(10, 10)));
    EXPECT_EQ(plan, before);
}

TEST_F(PlanThroughChart, MergeLaysTheChartOnThePlanWhereItIsDark)
{
    Load();
    SetQuorinPanSize(q, 200, 232, false);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    const QImage before = plan.copy();
    const QPoint at(150, 40);
    ASSERT_TRUE(q.MergePanToBk(at)) << q.sMessage.toStdString();
    EXPECT_EQ(q.iUndoIndex, 1);
    EXPECT_EQ(*q.pBkBitmap, plan);

    int dark = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            const QPoint c = QPoint(x, y) - at;
            const QRgb was = before.pixel(x, y);
            if (!chart.rect().contains(c)) {
                ASSERT_EQ(plan.pixel(x, y), was) << x << "," << y;
                continue;
            }
            const QRgb over = chart.pixel(c);
            ASSERT_EQ(plan.pixel(x, y) & 0xFFFFFF, was & over & 0xFFFFFF) << x << "," << y;
            dark += Dark(plan, x, y) && !Dark(before, x, y);
        }
    }
    EXPECT_GT(dark, 500); // the chart's lines and texts are on the plan

    ASSERT_TRUE(q.UndoBk(w, h));
    EXPECT_EQ(plan, before);
}

TEST_F(PlanThroughChart, FailuresReachTheMessage)
{
    Load();
    // A step file that can no longer be read: undo refuses and leaves the plan.
    QFile::remove(QDir(q.BkPlan().StepFolder()).filePath(QStringLiteral("img0.bmp")));
    ASSERT_TRUE(q.BkLine(40, 150, 180, 150));
    const QImage drawn = plan.copy();
    EXPECT_FALSE(q.UndoBk(w, h));
    EXPECT_TRUE(q.sMessage.startsWith(Q("无法读取撤消文件"))) << q.sMessage.toStdString();
    EXPECT_EQ(q.iUndoIndex, 1);
    EXPECT_EQ(plan, drawn);
}

TEST(PlanWithoutTempFolder, AStepThatCannotBeSavedIsAFailure)
{
    TempProgramFolder folder;
    QImage plan(100, 80, QImage::Format_RGB32);
    plan.fill(Qt::white);
    MQuorin q(nullptr, nullptr, &plan);
    // A file stands where the step folder's parent should be.
    QFile blocker(AppPath() + QStringLiteral("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    q.sTempPath = AppPath() + QStringLiteral("blocker/picTemp/");
    q.ResetBkUndo();
    EXPECT_FALSE(q.BkLine(0, 40, 99, 40));
    EXPECT_FALSE(q.sMessage.isEmpty());
    EXPECT_EQ(q.iUndoIndex, -1);
    EXPECT_TRUE(Dark(*q.pBkBitmap, 50, 40)); // the drawing is kept in the work copy all the same
}

} // namespace
