// The chart object fed hostile cases and hostile view commands: every call returns, refusals carry a message,
// and the picture keeps a sane size.
#include "ChartInputs.h"
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "FloorPlan.h"
#include "MQuorin.h"
#include "RobustRandom.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <climits>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

namespace {

// Sets the field to a hostile value in one case of eight, so that most cases still reach the drawing with the
// other fields plausible.
template <typename T>
void Spoil(Hostile &h, T &field, long long lo, long long hi)
{
    if (h.Chance(12))
        field = h.Edge<T>(lo, hi);
}

TRecordData HostileCase(Hostile &h)
{
    TRecordData rec = ReferenceHouse();
    do
        rec.mountain = uint8_t(h.Int(0, ChartInputs::kSittingItems - 1));
    while (ChartInputs::IsSeparatorItem(rec.mountain));
    rec.degree = float(ChartInputs::ItemToDegree(rec.mountain, 4.5));
    rec.door = uint8_t(h.Int(0, 23));
    rec.buildYear = int16_t(h.Int(1864, 2043));
    rec.date = TDateRec{int16_t(h.Int(1901, 2099)), int16_t(h.Int(0, 12)), int16_t(h.Int(1, 28)),
                        int16_t(h.Int(0, 23)), int16_t(h.Int(0, 59))};
    rec.xiaGua = uint8_t(h.Int(0, 1));
    rec.sex = uint8_t(h.Int(0, 1));
    Spoil<int32_t>(h, rec.chartPanel, -2, 110);
    Spoil<int16_t>(h, rec.date.year, -5000, 20000);
    Spoil<int16_t>(h, rec.date.month, 0, 13);
    Spoil<int16_t>(h, rec.date.day, 0, 40);
    Spoil<int16_t>(h, rec.date.hour, -1, 25);
    Spoil<int16_t>(h, rec.date.minute, -1, 61);
    Spoil<uint8_t>(h, rec.lunar, 0, 2);
    Spoil<uint8_t>(h, rec.leap, 0, 2);
    Spoil<uint8_t>(h, rec.sex, 0, 2);
    Spoil<int16_t>(h, rec.buildYear, -5000, 20000);
    Spoil<uint8_t>(h, rec.mountain, 0, 255);
    Spoil<uint8_t>(h, rec.door, 0, 99);
    if (h.Chance(12))
        rec.degree = h.Degree();
    Spoil<uint8_t>(h, rec.xiaGua, 0, 2);
    rec.name = h.Chance(10) ? h.Text(5000) : h.Text(14);
    rec.address = h.Chance(10) ? h.Text(5000) : h.Text(160);
    rec.longitude = h.Degree();
    rec.latitude = h.Degree();
    Spoil<int16_t>(h, rec.place1, -1, 40);
    Spoil<int16_t>(h, rec.place2, -1, 400);
    for (int32_t &p : rec.place)
        Spoil<int32_t>(h, p, -1, 400);
    Spoil<int16_t>(h, rec.colour, -3, 9);
    Spoil<uint8_t>(h, rec.starNames, 0, 5);
    Spoil<int32_t>(h, rec.id, -1, 100000);
    rec.className = h.Text(30);
    rec.remarkText = h.Text(200);
    rec.remarkFile = h.Text(20);
    return rec;
}

// A mouse position anywhere a pointer can report one: on the picture, at its centre, or far outside it (a drag
// that left the window), though not at the ends of int, which no pointer reaches.
constexpr int kFar = 1000000;

QPoint AnyPoint(Hostile &h)
{
    switch (h.Int(0, 4)) {
    case 0:
        return QPoint(250, 290);
    case 1:
        return QPoint(int(h.Int(-kFar, kFar)), int(h.Int(-kFar, kFar)));
    default:
        return QPoint(int(h.Int(-600, 1200)), int(h.Int(-600, 1200)));
    }
}

void HostileViewCommand(Hostile &h, MQuorin &q)
{
    const QPoint a = AnyPoint(h), b = AnyPoint(h);
    switch (h.Int(0, 11)) {
    case 0:
        q.ShowXuanKongPan();
        break;
    case 1:
        q.ShowBaZhaiPan();
        break;
    case 2:
        q.ShowLiuNianPan(int(h.Int(-100, 20000)), int(h.Int(-5, 20)), h.Edge<uint8_t>(0, 1), h.Edge<uint8_t>(0, 1));
        break;
    case 3:
        q.ShowNeiQiPan();
        break;
    case 4:
        q.ShowLiuNianPan8(int(h.Int(-100, 20000)), int(h.Int(-5, 20)), h.Edge<uint8_t>(0, 1));
        break;
    case 5: {
        static const int modes[] = {0, 1, 2, 3, 4, 5, 6, 7, 100, -1, 99, 101};
        q.SetDisplayMode(h.Pick(modes));
        break;
    }
    case 6:
        q.SetColorMode(int16_t(h.Int(-3, 9)));
        break;
    case 7:
        q.RotatePan(a.x(), a.y(), b.x(), b.y());
        break;
    case 8:
        q.TurnZuoXiang(a.x(), a.y(), b.x(), b.y());
        break;
    case 9:
        q.HitTestPan(a.x(), a.y());
        q.SetPanCursor(b.x(), b.y());
        break;
    case 10:
        q.SetPanShape(int(h.Int(-1, 2)), h.Chance(50));
        break;
    default:
        q.SetShowStarName(h.Edge<uint8_t>(0, 5));
        q.Redraw();
        break;
    }
}

TEST(RobustChart, HostileCasesLayOutOrRefuseWithAMessage)
{
    TempProgramFolder folder;
    Hostile h(20261207);
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    int laidOut = 0;
    for (int i = 0; i < 150; ++i) {
        const TRecordData rec = HostileCase(h);
        q.iPanShape = int(h.Int(0, 1));
        if (q.PaiPan(rec))
            ++laidOut;
        else
            EXPECT_FALSE(q.sMessage.isEmpty()) << "case " << i;
        for (int c = 0; c < 3; ++c)
            HostileViewCommand(h, q);
        ASSERT_EQ(chart.size(), QSize(500, 580)) << "case " << i;
    }
    // The generator must also reach the drawing and the report, not only the refusals.
    EXPECT_GT(laidOut, 40);
}

// A settings file as a hand edit or an old program could leave it: every chart key with a value of any kind.
QByteArray HostileSettings(Hostile &h)
{
    static const char *keys[] = {"ileft", "liunian", "fuwei", "iCoord", "fJian", "bZhouTian", "bWuHint", "iTilt",
                                 "bChengMen"};
    static const char *values[] = {"-1", "0", "1", "2", "3", "4", "255", "256", "65536", "-2147483648",
                                   "2147483647", "0x7fffffff", "1e300", "-1e300", "1e-300", "nan", "inf", "7.5",
                                   "8", "15", "22.5", "45", "360", "1e38", "3.5e38", "0.0000001", "", "x"};
    QByteArray ini = "[set]\n";
    for (const char *key : keys)
        if (h.Chance(80))
            ini += QByteArray(key) + "=" + (h.Chance(80) ? QByteArray(h.Pick(values)) : h.NumberText().toUtf8()) + "\n";
    return ini;
}

TEST(RobustChart, HostileSettingsFiles)
{
    Hostile h(5);
    for (int i = 0; i < 40; ++i) {
        TempProgramFolder folder(HostileSettings(h));
        QImage chart;
        MQuorin q{nullptr, &chart, nullptr};
        q.SetPanSize(500, 580, false);
        q.iPanShape = int(h.Int(0, 1));
        if (!q.PaiPan(HostileCase(h))) {
            EXPECT_FALSE(q.sMessage.isEmpty()) << "file " << i;
        }
        EXPECT_TRUE(std::isfinite(q.fJian)) << "file " << i;
        EXPECT_GT(q.fJian, 0.0f) << "file " << i;
        EXPECT_LE(q.fuwei, 3);
        EXPECT_LE(q.iTilt, 2);
        EXPECT_LE(q.iCoord, 2);
        uint8_t show[4];
        for (uint8_t &s : show)
            s = uint8_t(h.Int(0, 1));
        q.SetShowGua(show);
        EXPECT_LE(q.GuaCount, 4);
        for (int c = 0; c < 4; ++c)
            HostileViewCommand(h, q);
    }
}

// Plans of extreme shape (a user's picture may be a thin strip), resized with the aspect kept: the side computed
// from the other may pass what an int holds before it is clamped.
TEST(RobustChart, FloorPlanOfExtremeShapeKeepsItsRatioWithinBounds)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QSize shapes[] = {{1, 4000000}, {4000000, 1}};
    for (const QSize &shape : shapes) {
        QImage picture(shape, QImage::Format_ARGB32_Premultiplied);
        ASSERT_FALSE(picture.isNull());
        picture.fill(Qt::white);
        FloorPlan plan(&picture, temp.path() + QStringLiteral("/picTemp/"));
        plan.ResetUndo();
        plan.SetKeepRatio(true);
        // 600 × 4e6 and 600 / (1 / 4e6) are past INT_MAX: the long side comes out as the largest allowed.
        const bool tall = shape.height() > shape.width();
        const int cases[][3] = {{600, 600, FloorPlan::HandleRight}, {600, 600, FloorPlan::HandleTop},
                                {INT_MIN, INT_MIN, FloorPlan::HandleLeft}, {INT_MIN, INT_MIN, FloorPlan::HandleBottom}};
        for (const auto &c : cases) {
            int w = c[0], h = c[1];
            plan.Resize(w, h, c[2]);
            EXPECT_GE(w, FloorPlan::kMinSide);
            EXPECT_LE(w, FloorPlan::kMaxSide);
            EXPECT_GE(h, FloorPlan::kMinSide);
            EXPECT_LE(h, FloorPlan::kMaxSide);
            EXPECT_EQ(picture.size(), QSize(w, h));
            const bool longSideComputed = tall == (c[2] == FloorPlan::HandleRight || c[2] == FloorPlan::HandleLeft);
            if (c[0] == 600 && longSideComputed) {
                EXPECT_EQ(tall ? h : w, FloorPlan::kMaxSide);
            }
        }
    }
}

// Step files damaged behind the plan's back: undo and redo refuse them with a message, or load what is there.
TEST(RobustChart, FloorPlanUndoOverDamagedStepFiles)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    Hostile h(202);
    QImage picture(120, 80, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    FloorPlan plan(&picture, temp.path() + QStringLiteral("/picTemp/"));
    plan.ResetUndo();
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(plan.Line(0, i * 10, 100, i * 10)) << plan.Message().toStdString();
    const QDir folder(plan.StepFolder());
    const QStringList files = folder.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (int f = 0; f < files.size(); ++f) {
        QFile file(folder.filePath(files[f]));
        QByteArray bytes;
        if (f % 3 == 0) {
            // A BMP header that claims a picture far too large to allocate.
            if (file.open(QIODevice::ReadOnly))
                bytes = file.readAll();
            file.close();
            if (bytes.size() > 26) {
                const qint32 huge = 1000000;
                memcpy(bytes.data() + 18, &huge, 4);
                memcpy(bytes.data() + 22, &huge, 4);
            }
        } else if (f % 3 == 1) {
            const std::string junk = h.Bytes(300);
            bytes = QByteArray(junk.data(), qsizetype(junk.size()));
        }
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    for (int i = 0; i < 20; ++i) {
        int w = 0, hh = 0;
        const bool ok = h.Chance(50) ? plan.Undo(w, hh) : plan.Redo(w, hh);
        if (ok) {
            EXPECT_GE(w, FloorPlan::kMinSide);
            EXPECT_LE(w, FloorPlan::kMaxSide);
        }
        EXPECT_EQ(plan.Width(), picture.width());
        EXPECT_EQ(plan.Height(), picture.height());
    }
}

TEST(RobustChart, FloorPlanThroughTheChartObject)
{
    TempProgramFolder folder;
    Hostile h(31);
    QImage chart, plan(300, 200, QImage::Format_ARGB32_Premultiplied);
    plan.fill(Qt::white);
    MQuorin q{nullptr, &chart, &plan};
    q.sTempPath = AppPath() + QStringLiteral("picTemp/");
    q.SetPanSize(500, 580, false);
    q.ResetBkUndo();
    // Stamping waits for a lay-out.
    EXPECT_FALSE(q.MergePanToBk());
    EXPECT_FALSE(q.sMessage.isEmpty());
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    for (int i = 0; i < 150; ++i) {
        int w = int(h.Int(-100, 700)), hh = int(h.Int(-100, 700));
        const QPoint a = AnyPoint(h), b = AnyPoint(h), c = AnyPoint(h);
        switch (h.Int(0, 7)) {
        case 0:
            q.bBkKeepRatio = h.Edge<uint8_t>(0, 1);
            q.ResizeBk(w, hh, h.Edge<uint8_t>(0, 9));
            break;
        case 1:
            q.BkMoveTo(a.x(), a.y());
            q.BkLineTo(b.x(), b.y());
            q.SaveBkUndo();
            break;
        case 2:
            q.BkRectangle(a.x(), a.y(), b.x(), b.y(), c.x(), c.y(), h.Chance(50));
            break;
        case 3:
            q.BkEllipse(a.x(), a.y(), b.x(), b.y(), c.x(), c.y(), h.Chance(50));
            break;
        case 4:
            q.UndoBk(w, hh);
            break;
        case 5:
            q.RedoBk(w, hh);
            break;
        case 6:
            q.MergePanToBk(QPoint(int(h.Int(-1000, 1000)), int(h.Int(-1000, 1000))));
            break;
        default:
            q.HitTestBk(a.x(), a.y());
            q.SetBkCursor(b.x(), b.y());
            q.RestoreBkSize(w, hh);
            break;
        }
        ASSERT_EQ(q.iBkWidth, plan.width()) << "step " << i;
        ASSERT_EQ(q.iBkHeight, plan.height()) << "step " << i;
        ASSERT_GE(q.iUndoIndex, -1);
        ASSERT_LT(q.iUndoIndex, FloorPlan::kUndoSteps);
    }
}

TEST(RobustChart, DegreeToItemOfAnyDegreeAndMargin)
{
    Hostile h(45);
    for (int i = 0; i < 3000; ++i) {
        const double degree = h.AnyDouble(), jian = h.AnyDouble();
        const int item = DegreeToItem(degree, jian);
        ASSERT_GE(item, -1) << degree << " " << jian;
        ASSERT_LT(item, ChartInputs::kSittingItems) << degree << " " << jian;
        if (item >= 0) {
            EXPECT_FALSE(ChartInputs::IsSeparatorItem(item)) << degree << " " << jian;
        }
    }
}

// Degrees far outside one turn, each with the sitting item it falls on, so that the lay-out accepts them when the
// rules do and the whole computation, drawing and report run on them.
TEST(RobustChart, LayOutsOfDegreesOutsideOneTurn)
{
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    const float degrees[] = {360.0f, 359.99f, -0.0001f, -7.5f, 720.25f, -352.6f, 1e9f, -1e9f, 3.0e38f, -3.0e38f,
                             std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
                             std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    for (const float degree : degrees) {
        for (int shape = 0; shape < 2; ++shape) {
            TRecordData rec = ReferenceHouse();
            rec.degree = degree;
            const int item = DegreeToItem(degree, 4.5);
            rec.mountain = uint8_t(item < 0 ? 1 : item);
            q.iPanShape = shape;
            if (q.PaiPan(rec)) {
                EXPECT_FALSE(q.sHeader.isEmpty());
                EXPECT_GE(q.ZuoShan, 0);
                EXPECT_LT(q.ZuoShan, 24);
                q.ShowBaZhaiPan();
                q.ShowLiuNianPan(2024, 6, 1, 1);
                q.SetDisplayMode(100);
                q.SetDisplayMode(0);
            } else {
                EXPECT_FALSE(q.sMessage.isEmpty()) << degree;
            }
        }
    }
}

// The annual year comes from an editable list: any number from 64 up can arrive, far past what a date holds (the
// window refuses smaller ones; a few are tried all the same). The month is a list index, 0..11.
TEST(RobustChart, AnnualViewsOfYearsPastTheCalendar)
{
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    const int years[] = {64, 9999, 10000, 32767, 32768, 65536, 100000, 1000000000, INT_MAX - 6000, INT_MAX, -100};
    for (const int year : years) {
        for (const int month : {0, 6, 11}) {
            q.ShowLiuNianPan(year, month, 1, 1);
            q.ShowLiuNianPan8(year, month, 1);
            q.ShowNeiQiPan();
            uint8_t y[9], m[9], n[9];
            q.FlyStars(y, m, n);
            for (int i = 0; i < 9; ++i) {
                EXPECT_LT(y[i], 9) << year;
                EXPECT_LT(m[i], 9) << year;
                EXPECT_LT(n[i], 9) << year;
            }
        }
    }
}

TEST(RobustChart, ViewCommandsOnALaidOutHouse)
{
    TempProgramFolder folder;
    Hostile h(7);
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    for (int i = 0; i < 200; ++i) {
        HostileViewCommand(h, q);
        ASSERT_EQ(chart.size(), QSize(500, 580)) << "command " << i;
    }
}

TEST(RobustChart, AbsurdPictureSizes)
{
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    const int sizes[][2] = {{0, 0}, {-1, 580}, {500, -100000}, {INT_MIN, INT_MIN}, {1, 1}, {99, 101}, {1, 4000},
                            {INT_MAX, 150}, {150, INT_MAX}};
    for (const auto &s : sizes) {
        q.SetPanSize(s[0], s[1], true);
        EXPECT_GE(chart.width(), 1);
        EXPECT_GE(chart.height(), 1);
        q.HitTestPan(0, 0);
        q.RotatePan(0, 0, 1, 1);
        q.TurnZuoXiang(int(q.fCenterX), int(q.fCenterY), 0, 0);
    }
    // The largest picture once, drawn: its size is clamped rather than allocated as asked.
    q.SetPanSize(INT_MAX, INT_MAX, true);
    EXPECT_LE(qint64(chart.width()) * chart.height(), qint64(4096) * 4096);
}

TEST(RobustChart, CompassWithEveryRingSwitchAndSize)
{
    TempProgramFolder folder;
    Hostile h(13);
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    // The compass draws before any lay-out too.
    for (int i = 0; i < 40; ++i) {
        if (i == 15) {
            ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
        }
        TCompassLayers layers;
        for (uint8_t &r : layers.ring)
            r = h.Chance(50) ? h.Edge<uint8_t>(1, 1) : 0;
        layers.shanYin = h.Edge<uint8_t>(0, 1);
        layers.ganZhi = h.Edge<uint8_t>(0, 1);
        layers.wxColor = h.Edge<uint8_t>(0, 1);
        layers.count = h.Edge<uint8_t>(0, 13);
        q.SetCompassLayers(layers);
        q.iTilt = h.Edge<uint8_t>(0, 2);
        q.RingOffset = h.Edge<int16_t>(-30, 30);
        q.PanAngle = h.Degree();
        static const int sides[] = {0, -5, 100, 101, 333, 500, 580, 1000};
        q.SetPanSize(h.Pick(sides), h.Pick(sides), false);
        EXPECT_TRUE(q.DrawCompass());
        q.HitTestPan(int(h.Int(-50, 1100)), int(h.Int(-50, 1100)));
        q.RotatePan(int(h.Int(-50, 1100)), int(h.Int(-50, 1100)), int(q.fCenterX), int(q.fCenterY));
    }
}

TEST(RobustChart, CompassWithEveryRingOnTheSmallestPictures)
{
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
    q.SetPanSize(500, 580, false);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    TCompassLayers all;
    all.ring.fill(1);
    all.shanYin = all.ganZhi = all.wxColor = 1;
    all.count = 255;
    q.SetCompassLayers(all);
    const int sizes[][2] = {{100, 100}, {4096, 100}, {100, 4096}, {101, 233}};
    for (const auto &size : sizes) {
        for (uint8_t tilt = 0; tilt < 3; ++tilt) {
            q.iTilt = tilt;
            q.SetPanSize(size[0], size[1], false);
            EXPECT_TRUE(q.DrawCompass());
        }
    }
}

TEST(RobustChart, FloorPlanWithAbsurdSizesAndStrokes)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    Hostile h(17);
    QImage picture(200, 150, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    FloorPlan plan(&picture, temp.path() + QStringLiteral("/picTemp/"));
    plan.ResetUndo();
    QImage stamp(120, 90, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::black);
    {
        // The clamp to the largest side, without a picture of that size behind it.
        FloorPlan bare(nullptr, temp.path() + QStringLiteral("/picTemp/"));
        int bigW = INT_MAX, bigH = INT_MAX;
        bare.Resize(bigW, bigH, 0);
        EXPECT_EQ(bigW, FloorPlan::kMaxSide);
        EXPECT_EQ(bigH, FloorPlan::kMaxSide);
    }
    for (int i = 0; i < 300; ++i) {
        // Sides down to INT_MIN; large ones stay under 1000 so that the run stays quick (the largest side the
        // plan allows is tried above).
        int w = std::min(int(h.Edge<int32_t>(-10, 900)), 999), hh = std::min(int(h.Edge<int32_t>(-10, 900)), 999);
        auto coord = [&h] { return int(h.Chance(10) ? h.Int(-kFar, kFar) : h.Int(-50, 950)); };
        const int x0 = coord(), y0 = coord(), x1 = coord(), y1 = coord();
        int uw = 0, uh = 0;
        switch (h.Int(0, 10)) {
        case 0:
            plan.SetKeepRatio(h.Chance(50));
            plan.Resize(w, hh, int(h.Int(-2, 10)));
            EXPECT_GE(w, FloorPlan::kMinSide);
            EXPECT_GE(hh, FloorPlan::kMinSide);
            EXPECT_LE(w, FloorPlan::kMaxSide);
            EXPECT_LE(hh, FloorPlan::kMaxSide);
            break;
        case 1:
            plan.MoveTo(x0, y0);
            plan.LineTo(x1, y1);
            break;
        case 2:
            plan.Line(x0, y0, x1, y1);
            break;
        case 3:
            plan.Rectangle(x0, y0, x1, y1, int(h.Int(-50, 950)), int(h.Int(-50, 950)), h.Chance(50));
            break;
        case 4:
            plan.Ellipse(x0, y0, x1, y1, int(h.Int(-50, 950)), int(h.Int(-50, 950)), h.Chance(50));
            break;
        case 5:
            plan.Undo(uw, uh);
            break;
        case 6:
            plan.Redo(uw, uh);
            break;
        case 7:
            plan.MergeChart(stamp, QPoint(x0, y0));
            break;
        case 8:
            plan.HitTest(x0, y0);
            plan.CursorAt(x1, y1);
            break;
        case 9:
            plan.RestoreSize(uw, uh);
            break;
        default:
            plan.SetPen(QPen(Qt::red, double(h.Int(0, 40))));
            break;
        }
        ASSERT_FALSE(picture.isNull()) << "step " << i;
        EXPECT_EQ(plan.Width(), picture.width());
        EXPECT_EQ(plan.Height(), picture.height());
    }
}

} // namespace
