#pragma once

#include <QImage>
#include <QPen>
#include <QPoint>
#include <QString>

#include <algorithm>
#include <memory>

class QTemporaryDir;

// The floor plan under the chart picture: its picture (the one the plan widget shows, not owned), a work copy
// from which every resize is stretched, drawing of lines, rectangles and ellipses with a rubber-band preview,
// stamping the chart onto it, and an undo ring of the last 100 committed steps.
//
// The steps are kept as bitmap files "img<n>.bmp" (n = step number mod 100) in a folder of this object's own
// under the program's picTemp/ folder, so that two running programs never touch each other's steps; the folder
// and its files are removed when the object goes (a folder left by a killed program is removed at the next
// start, and by the next plan that saves a step). The steps kept take at most a byte budget on the disk: the
// oldest go first when the next would pass it. Failures are results: a false return with Message() set.
class FloorPlan {
public:
    static constexpr int kUndoSteps = 100;
    static constexpr int kMinSide = 20;    // a resize never makes the plan smaller than this a side
    static constexpr int kMaxSide = 10000; // nor larger (a bigger picture would not fit in memory)
    // The steps' budget: 100 steps of a plan up to 3.5 million pixels (an A4 page scanned at 200 dpi, or twice
    // a full-HD screen) fit in it, so the ring is whole for the plans practitioners draw on; a plan at the
    // largest size (300 MB a step) still keeps three. Without it the ring could hold 30 GB.
    static constexpr qint64 kUndoBytes = qint64(1) << 30;

    // Hit kinds of a press on the plan, as on the chart picture: the edge and corner bands 10 pixels deep.
    enum Hit {
        HitElsewhere = 1,
        HitBottomRight = 11,
        HitBottom = 12,
        HitBottomLeft = 13,
        HitLeft = 14,
        HitTopLeft = 15,
        HitTop = 16,
        HitTopRight = 17,
        HitRight = 18,
    };
    // Resize handles as the main window passes them; 0 = a plain resize to the given size.
    enum Handle {
        HandleNone = 0,
        HandleRight = 1,
        HandleTopRight = 2,
        HandleTop = 3,
        HandleTopLeft = 4,
        HandleLeft = 5,
        HandleBottomLeft = 6,
        HandleBottom = 7,
        HandleBottomRight = 8,
    };

    // picture: the plan picture shown (replaced on every resize); tempRoot: the program's picTemp/ folder;
    // undoBytes: the budget of the step files.
    FloorPlan(QImage* picture, const QString& tempRoot, qint64 undoBytes = kUndoBytes);
    ~FloorPlan();
    FloorPlan(const FloorPlan&) = delete;
    FloorPlan& operator=(const FloorPlan&) = delete;

    // After a new plan was put into the picture: the work copy takes it, its size becomes the size as loaded,
    // and every step of the ring is dropped.
    void ResetUndo();
    // One committed step: the work copy takes the picture, which is saved as the next step. A step after some
    // undos drops the steps that redo could have reached; past 100 steps, or past the budget with this one, the
    // oldest are dropped (the current step always stays). False (and no step recorded) when the step file cannot
    // be written.
    bool SaveUndo();
    // One step back or forward: the picture and the work copy take the stored step at its stored size. False
    // when there is no such step or its file cannot be read; the plan is then unchanged.
    bool Undo(int& w, int& h);
    bool Redo(int& w, int& h);
    bool CanUndo() const { return current_ > first_; }
    bool CanRedo() const { return current_ >= 0 && current_ < last_; }

    // Resizes the picture to w × h stretched from the work copy. With the aspect kept and a handle given, the
    // right and left handles set the height from the width and the others the width from the height. w and h
    // come back as applied (never below kMinSide).
    void Resize(int& w, int& h, int handle);
    // Back to the size of the plan as loaded.
    void RestoreSize(int& w, int& h);
    void SetKeepRatio(bool keep) { keepRatio_ = keep; }

    int HitTest(int x, int y) const;
    Qt::CursorShape CursorAt(int x, int y) const;

    // The pen of the plan's canvas (set by the main window); drawing is not antialiased, like the canvas.
    void SetPen(const QPen& pen) { pen_ = pen; }
    const QPen& Pen() const { return pen_; }

    // Freehand drawing: a segment from the pen position, no undo step (the caller saves one per stroke).
    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    void LineTo(int x, int y);
    // A straight line, then one undo step.
    bool Line(int x0, int y0, int x1, int y1);
    // Rectangle or ellipse from (x0, y0) to (x1, y1). preview: the rubber band, inverted onto the plan so that
    // drawing it again erases it: the previous preview to (x2, y2) is erased and the new one drawn; no step.
    // Final: the outline only, then one undo step.
    bool Rectangle(int x0, int y0, int x1, int y1, int x2, int y2, bool preview);
    bool Ellipse(int x0, int y0, int x1, int y1, int x2, int y2, bool preview);

    // Stamps the chart picture onto the plan: each plan pixel becomes plan AND chart, so white parts of the chart
    // leave the plan as it was and its lines and texts are laid on it. offset: the chart picture's position
    // relative to the plan. Then one undo step; when that step cannot be saved the plan stays as it was: false.
    bool MergeChart(const QImage& chart, QPoint offset);

    const QImage& WorkCopy() const { return work_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int CenterX() const { return width_ / 2; }
    int CenterY() const { return height_ / 2; }
    int Radius() const { return std::min(width_, height_) / 2; }
    int OrigWidth() const { return origWidth_; }
    int OrigHeight() const { return origHeight_; }
    // The ring slot of the current step, −1 for none.
    int UndoIndex() const { return current_ < 0 ? -1 : current_ % kUndoSteps; }
    // The folder of the step files (empty until the first step).
    QString StepFolder() const;
    const QString& Message() const { return message_; }

    // Removes the step folders under tempRoot that belong to no running plan: those of a process that is gone,
    // or whose number a later process has taken. For the start of a program that holds its data folder.
    static void RemoveAbandonedSteps(const QString& tempRoot);

private:
    enum class Shape { Rect, Ellipse };
    bool DrawShape(Shape shape, int x0, int y0, int x1, int y1, int x2, int y2, bool preview);
    bool EnsureStepFolder();
    QString StepFile(long long step) const;
    bool LoadStep(long long step, int& w, int& h);
    void ApplySize(int w, int h);
    void DropStep(long long step);
    qint64 KeptBytes() const;
    void MakeRoomFor(long long step, qint64 bytes);

    QImage* picture_;
    QString tempRoot_;
    std::unique_ptr<QTemporaryDir> steps_;
    QImage work_;
    QPen pen_;
    QPoint penPos_;
    bool keepRatio_ = false;
    int width_ = 0, height_ = 0;
    int origWidth_ = 200, origHeight_ = 200;
    // Steps are numbered without end; the ring slot of step n is n mod 100. current_ is the step shown (−1 for
    // none); first_ and last_ bound the steps kept.
    long long current_ = -1;
    long long first_ = 0;
    long long last_ = -1;
    qint64 undoBytes_;
    qint64 slotBytes_[kUndoSteps] = {}; // the size of each slot's step file
    QString message_;
};
