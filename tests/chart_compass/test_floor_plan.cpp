// The floor plan: resizing, the edge bands, drawing with the rubber band, the undo ring and merging the chart.
#include "FloorPlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

class FloorPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        picture = QImage(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::white);
        plan = std::make_unique<FloorPlan>(&picture, temp.path() + "/picTemp/");
        plan->ResetUndo();
    }

    // A committed step that leaves a mark of its own: a line at row y.
    void Step(int y) { ASSERT_TRUE(plan->Line(10, y, 390, y)) << plan->Message().toStdString(); }

    QTemporaryDir temp;
    QImage picture;
    std::unique_ptr<FloorPlan> plan;
};

}  // namespace

TEST_F(FloorPlanTest, KeepRatioResizeFollowsTheHandle)
{
    plan->SetKeepRatio(true);
    int w = 480, h = 300;
    plan->Resize(w, h, FloorPlan::HandleRight);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 360);
    w = 400, h = 330;
    plan->Resize(w, h, FloorPlan::HandleBottom);
    EXPECT_EQ(w, 440);
    EXPECT_EQ(h, 330);
    EXPECT_EQ(picture.size(), QSize(440, 330));
    EXPECT_EQ(plan->CenterX(), 220);
    EXPECT_EQ(plan->Radius(), 165);

    // A plain resize (no handle) takes the size as given; the size as loaded comes back on request.
    w = 100, h = 250;
    plan->Resize(w, h, FloorPlan::HandleNone);
    EXPECT_EQ(picture.size(), QSize(100, 250));
    plan->RestoreSize(w, h);
    EXPECT_EQ(QSize(w, h), QSize(400, 300));

    // Never below 20 pixels a side, with or without the ratio.
    w = 5, h = -40;
    plan->Resize(w, h, FloorPlan::HandleNone);
    EXPECT_EQ(QSize(w, h), QSize(20, 20));
    w = 8;
    plan->Resize(w, h, FloorPlan::HandleLeft);
    EXPECT_EQ(QSize(w, h), QSize(20, 20));
    EXPECT_EQ(picture.size(), QSize(20, 20));
}

TEST_F(FloorPlanTest, HitTestBandsAndCursors)
{
    EXPECT_EQ(plan->HitTest(395, 295), FloorPlan::HitBottomRight);
    EXPECT_EQ(plan->HitTest(200, 295), FloorPlan::HitBottom);
    EXPECT_EQ(plan->HitTest(5, 295), FloorPlan::HitBottomLeft);
    EXPECT_EQ(plan->HitTest(5, 150), FloorPlan::HitLeft);
    EXPECT_EQ(plan->HitTest(5, 5), FloorPlan::HitTopLeft);
    EXPECT_EQ(plan->HitTest(200, 5), FloorPlan::HitTop);
    EXPECT_EQ(plan->HitTest(395, 5), FloorPlan::HitTopRight);
    EXPECT_EQ(plan->HitTest(395, 150), FloorPlan::HitRight);
    EXPECT_EQ(plan->HitTest(200, 150), FloorPlan::HitElsewhere);
    EXPECT_EQ(plan->HitTest(390, 290), FloorPlan::HitBottomRight); // 10 pixels from both edges is still the corner
    EXPECT_EQ(plan->HitTest(390, 289), FloorPlan::HitRight);
    EXPECT_EQ(plan->HitTest(389, 150), FloorPlan::HitElsewhere);

    EXPECT_EQ(plan->CursorAt(5, 5), Qt::SizeFDiagCursor);
    EXPECT_EQ(plan->CursorAt(200, 295), Qt::SizeVerCursor);
    EXPECT_EQ(plan->CursorAt(395, 5), Qt::SizeBDiagCursor);
    EXPECT_EQ(plan->CursorAt(5, 150), Qt::SizeHorCursor);
    EXPECT_EQ(plan->CursorAt(200, 150), Qt::ArrowCursor);
}

TEST_F(FloorPlanTest, UndoRedoAndANewStepAfterUndo)
{
    int w = 0, h = 0;
    EXPECT_FALSE(plan->Undo(w, h));
    EXPECT_FALSE(plan->Redo(w, h));
    EXPECT_EQ(plan->UndoIndex(), -1);

    ASSERT_TRUE(plan->SaveUndo()); // step 0: the plan as loaded
    const QImage loaded = picture.copy();
    Step(50);
    const QImage one = picture.copy();
    Step(100);
    const QImage two = picture.copy();
    EXPECT_EQ(plan->UndoIndex(), 2);

    ASSERT_TRUE(plan->Undo(w, h));
    EXPECT_EQ(picture, one);
    EXPECT_EQ(QSize(w, h), QSize(400, 300));
    ASSERT_TRUE(plan->Redo(w, h));
    EXPECT_EQ(picture, two);
    EXPECT_FALSE(plan->Redo(w, h)); // nothing newer

    ASSERT_TRUE(plan->Undo(w, h));
    ASSERT_TRUE(plan->Undo(w, h));
    EXPECT_EQ(picture, loaded);
    EXPECT_FALSE(plan->Undo(w, h)); // the oldest step: stops, never wraps to the newest
    EXPECT_EQ(picture, loaded);
    EXPECT_EQ(plan->UndoIndex(), 0);

    // A new step abandons the steps that redo could reach.
    Step(200);
    const QImage branch = picture.copy();
    EXPECT_FALSE(plan->Redo(w, h));
    EXPECT_EQ(picture, branch);
    ASSERT_TRUE(plan->Undo(w, h));
    EXPECT_EQ(picture, loaded);

    // A step stored at another size comes back at that size.
    ASSERT_TRUE(plan->Redo(w, h));
    plan->Resize(w = 200, h = 150, FloorPlan::HandleNone);
    ASSERT_TRUE(plan->SaveUndo());
    ASSERT_TRUE(plan->Undo(w, h));
    EXPECT_EQ(QSize(w, h), QSize(400, 300));
    EXPECT_EQ(picture, branch);
    ASSERT_TRUE(plan->Redo(w, h));
    EXPECT_EQ(picture.size(), QSize(200, 150));
}

TEST_F(FloorPlanTest, RingKeepsTheLastHundredSteps)
{
    for (int i = 0; i <= 100; ++i)
        Step(1 + i * 2);  // 101 steps, each with its own line
    EXPECT_EQ(plan->UndoIndex(), 0); // step 100 wrote slot 0 again
    int w = 0, h = 0, undone = 0;
    while (plan->Undo(w, h))
        ++undone;
    EXPECT_EQ(undone, 99);
    // The oldest kept step is step 1: lines 0 and 1 are drawn, line 2 not yet.
    EXPECT_EQ(picture.pixelColor(200, 1), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(200, 3), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(200, 5), QColor(Qt::white));

    // A new plan drops every step.
    plan->ResetUndo();
    EXPECT_FALSE(plan->Undo(w, h));
    EXPECT_TRUE(QDir(plan->StepFolder()).entryList({"*.bmp"}, QDir::Files).isEmpty());
}

// The step files kept never pass the budget (the current step always stays, so one undo is left), undo reaches
// exactly the steps kept, and the steps that a new one abandons leave the disk at once.
TEST_F(FloorPlanTest, StepFilesStayWithinTheirBudget)
{
    const qint64 step = 54 + 400 * 3 * 300; // a 400 × 300 plan as a 24-bit bitmap
    const struct {
        const char *what;
        qint64 budget;
        int undos; // how far back undo reaches after ten steps
    } rows[] = {
        {"room for three and a half steps", step * 7 / 2, 2},
        {"room for exactly three", step * 3, 2},
        {"room for less than one", 1000, 1},
        {"the whole ring", FloorPlan::kUndoBytes, 9},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        picture.fill(Qt::white);
        FloorPlan budgeted(&picture, temp.path() + "/budget/", r.budget);
        budgeted.ResetUndo();
        const auto folderBytes = [&] {
            qint64 sum = 0;
            for (const QFileInfo &f : QDir(budgeted.StepFolder()).entryInfoList(QDir::Files))
                sum += f.size();
            return sum;
        };
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(budgeted.Line(10, 20 + i, 390, 20 + i)) << budgeted.Message().toStdString();
            EXPECT_LE(folderBytes(), std::max(r.budget, 2 * step)) << "after step " << i;
        }
        int w = 0, h = 0, undone = 0;
        while (budgeted.Undo(w, h))
            ++undone;
        EXPECT_EQ(undone, r.undos);
        EXPECT_EQ(picture.pixelColor(200, 20 + 9 - r.undos), QColor(Qt::black)); // the oldest step kept
        EXPECT_EQ(picture.pixelColor(200, 20 + 10 - r.undos), QColor(Qt::white));

        // A new step after the undos: the steps it abandons are gone from the disk, not only from redo.
        ASSERT_TRUE(budgeted.Line(10, 200, 390, 200));
        EXPECT_EQ(QDir(budgeted.StepFolder()).entryList(QDir::Files).size(), 2);
    }
}

TEST_F(FloorPlanTest, StepFilesArePrivateAndGoWithThePlan)
{
    ASSERT_TRUE(plan->SaveUndo());
    QImage other(50, 50, QImage::Format_RGB32);
    other.fill(Qt::white);
    auto second = std::make_unique<FloorPlan>(&other, temp.path() + "/picTemp/");
    second->ResetUndo();
    ASSERT_TRUE(second->SaveUndo());
    const QString folder = plan->StepFolder();
    EXPECT_NE(folder, second->StepFolder());
    EXPECT_TRUE(folder.startsWith(temp.path() + "/picTemp/"));
    EXPECT_TRUE(QFile::exists(folder + "/img0.bmp"));
    int w = 0, h = 0;
    Step(20);
    ASSERT_TRUE(plan->Undo(w, h));
    EXPECT_EQ(QSize(w, h), QSize(400, 300)); // not the other plan's 50 × 50

    plan.reset();
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_TRUE(QDir(second->StepFolder()).exists());

    // The folder of a program that was killed goes when the next plan makes its own; a live one stays.
    const QString root = temp.path() + "/picTemp/";
    ASSERT_TRUE(QDir().mkpath(root + "plan-999999999-abc123"));
    QFile::copy(second->StepFolder() + "/img0.bmp", root + "plan-999999999-abc123/img0.bmp");
    ASSERT_TRUE(QDir().mkpath(root + "plan-1-abc123")); // pid 1 is alive
    QImage third(30, 30, QImage::Format_RGB32);
    third.fill(Qt::white);
    FloorPlan fresh(&third, root);
    fresh.ResetUndo();
    ASSERT_TRUE(fresh.SaveUndo());
    EXPECT_FALSE(QDir(root + "plan-999999999-abc123").exists());
    EXPECT_TRUE(QDir(root + "plan-1-abc123").exists());
    EXPECT_TRUE(QDir(second->StepFolder()).exists());
}

TEST_F(FloorPlanTest, FileFailuresAreResultsWithAMessage)
{
    Step(40);
    Step(80);
    const QImage now = picture.copy();
    // A step file cut short (a full disk), then gone: undo refuses and the plan stays.
    QFile step0(plan->StepFolder() + "/img0.bmp");
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone);
        ASSERT_TRUE(gone ? step0.remove() : step0.resize(step0.size() / 2));
        int w = 0, h = 0;
        EXPECT_FALSE(plan->Undo(w, h));
        EXPECT_FALSE(plan->Message().isEmpty());
        EXPECT_EQ(picture, now);
        EXPECT_EQ(plan->UndoIndex(), 1);
    }

    // No room for the step files: the step, and a merge that needs it, fail.
    QFile blocker(temp.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QImage p2(100, 100, QImage::Format_RGB32);
    p2.fill(Qt::white);
    FloorPlan stuck(&p2, temp.path() + "/blocked/picTemp/");
    stuck.ResetUndo();
    EXPECT_FALSE(stuck.SaveUndo());
    EXPECT_FALSE(stuck.Message().isEmpty());
    QImage chart(100, 100, QImage::Format_ARGB32_Premultiplied);
    chart.fill(Qt::black);
    EXPECT_FALSE(stuck.MergeChart(chart, QPoint(0, 0)));
    EXPECT_EQ(stuck.UndoIndex(), -1);
    EXPECT_EQ(p2.pixelColor(50, 50), QColor(Qt::white)); // a merge that cannot be undone is not made
    int w = 100, h = 100;
    stuck.Resize(w, h, FloorPlan::HandleNone); // nor does the work copy bring it back
    EXPECT_EQ(p2.pixelColor(50, 50), QColor(Qt::white));
}

TEST_F(FloorPlanTest, RubberBandLeavesThePlanAsItWas)
{
    Step(150);
    const QImage before = picture.copy();
    plan->Rectangle(20, 20, 20, 20, 20, 20, true); // the press: no shape yet
    EXPECT_EQ(picture, before);
    plan->Rectangle(20, 20, 120, 90, 20, 20, true);
    EXPECT_NE(picture, before);
    EXPECT_EQ(picture.pixelColor(70, 20), QColor(Qt::black)); // inverted white
    EXPECT_EQ(picture.pixelColor(70, 150), QColor(Qt::black)); // not yet crossing the line
    plan->Rectangle(20, 20, 200, 180, 120, 90, true);
    EXPECT_EQ(picture.pixelColor(120, 50), QColor(Qt::white)); // the previous band is gone
    EXPECT_EQ(picture.pixelColor(20, 150), QColor(Qt::white)); // crossing the black line inverts it
    plan->Rectangle(20, 20, 20, 20, 200, 180, true);
    EXPECT_EQ(picture, before);
    EXPECT_EQ(plan->UndoIndex(), 0); // previews are no steps

    ASSERT_TRUE(plan->Ellipse(20, 20, 200, 180, 0, 0, false));
    EXPECT_EQ(plan->UndoIndex(), 1);
    EXPECT_EQ(picture.pixelColor(110, 100), QColor(Qt::white)); // outline only
}

TEST_F(FloorPlanTest, MergeKeepsThePlanWhereTheChartIsWhite)
{
    // A plan loaded as an indexed bitmap is drawn on all the same.
    picture = QImage(400, 300, QImage::Format_RGB32);
    picture.fill(QColor(200, 220, 240));
    picture = picture.convertToFormat(QImage::Format_Indexed8);
    plan->ResetUndo();
    QImage chart(100, 80, QImage::Format_ARGB32_Premultiplied);
    chart.fill(Qt::white);
    chart.setPixelColor(10, 10, Qt::black);
    chart.setPixelColor(20, 10, QColor(0xFF, 0, 0));
    ASSERT_TRUE(plan->MergeChart(chart, QPoint(50, 40)));
    EXPECT_EQ(picture.pixelColor(55, 45), QColor(200, 220, 240));
    EXPECT_EQ(picture.pixelColor(60, 50), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(70, 50), QColor(200, 0, 0));
    EXPECT_EQ(picture.pixelColor(10, 10), QColor(200, 220, 240)); // outside the chart
    EXPECT_EQ(plan->UndoIndex(), 0);
    // The work copy holds the merge: a resize keeps it.
    int w = 800, h = 600;
    plan->Resize(w, h, FloorPlan::HandleNone);
    EXPECT_LT(picture.pixelColor(120, 100).lightness(), 150);
}

// Removing step folders never follows a link: a link named like a step folder of a gone program is no step
// folder, links inside a gone program's folder go as links, and a step folder swapped for a link while the plan
// lives takes only the link with it. What the links point at stays, byte for byte.
TEST_F(FloorPlanTest, StepFoldersGoWithoutFollowingLinks)
{
    QTemporaryDir outside;
    const auto put = [](const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(put(outside.filePath("photos/2020/a.jpg"), "a"));
    ASSERT_TRUE(put(outside.filePath("notes.txt"), "n"));
    const QString root = temp.path() + "/picTemp/";
    ASSERT_TRUE(QDir().mkpath(root));
    ASSERT_TRUE(QFile::link(outside.filePath("photos"), root + "plan-999999998-Abcdef"));
    // A gone program's step folder with links in it, made again for each row.
    const auto plantGone = [&] {
        ASSERT_TRUE(put(root + "plan-999999997-Ghijkl/img0.bmp", "BM"));
        QFile::link(outside.filePath("photos"), root + "plan-999999997-Ghijkl/photos");
        QFile::link(outside.filePath("notes.txt"), root + "plan-999999997-Ghijkl/img1.bmp");
    };

    const struct {
        const char* what;
        bool sweeps; // whether the gone program's folder is cleared
        std::function<void()> act;
    } rows[] = {
        {"the start's sweep", true, [&] { FloorPlan::RemoveAbandonedSteps(root); }},
        {"the first step of a plan", true, [&] { ASSERT_TRUE(plan->SaveUndo()); }},
        {"a plan whose step folder became a link", false, [&] {
             const QString folder = plan->StepFolder();
             ASSERT_TRUE(QDir(folder).removeRecursively());
             ASSERT_TRUE(QFile::link(outside.filePath("photos"), folder));
             plan.reset();
             EXPECT_FALSE(QFileInfo(folder).isSymLink());
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        plantGone();
        row.act();
        EXPECT_TRUE(QFileInfo(root + "plan-999999998-Abcdef").isSymLink());
        EXPECT_NE(QFileInfo::exists(root + "plan-999999997-Ghijkl"), row.sweeps);
        EXPECT_TRUE(QFile::exists(outside.filePath("photos/2020/a.jpg")));
        EXPECT_TRUE(QFile::exists(outside.filePath("notes.txt")));
    }
}
