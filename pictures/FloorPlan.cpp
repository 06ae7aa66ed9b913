#include "FloorPlan.h"

#include "FileRemove.h"
#include "ImageFileWrite.h"
#include "PictureFile.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRect>
#include <QTemporaryDir>

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>

#include <signal.h>
#include <unistd.h>

namespace {

constexpr int kBand = 10;

// The plan is kept in a format the raster operations work on.
QImage PlanFormat(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

int ClampSide(int side) { return std::clamp(side, FloorPlan::kMinSide, FloorPlan::kMaxSide); }

// A loaded plan may come in a format the painter cannot draw on (an indexed bitmap); such a picture is turned into
// the plan's format first. False when there is no picture to draw on.
bool MakePaintable(QImage* picture)
{
    if (!picture || picture->isNull())
        return false;
    if (picture->format() != QImage::Format_RGB32)
        *picture = PlanFormat(*picture);
    return true;
}

// When the process `pid` started, in seconds since the epoch; nothing when it is not running (or the system
// does not say).
std::optional<qint64> ProcessStart(qint64 pid)
{
    if (::kill(pid_t(pid), 0) == -1 && errno == ESRCH)
        return std::nullopt;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile system(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly) || !system.open(QIODevice::ReadOnly))
        return qint64(0); // running, start unknown: taken as old enough to own any folder
    // The fields after the command name, which may itself hold blanks and brackets; the start is field 22, in
    // clock ticks after the boot.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartField = 22 - 3;
    qint64 bootTime = -1;
    for (const QByteArray& l : system.readAll().split('\n'))
        if (l.startsWith("btime "))
            bootTime = l.mid(6).trimmed().toLongLong();
    bool ok = false;
    const qint64 ticks = fields.size() > kStartField ? fields[kStartField].toLongLong(&ok) : 0;
    if (!ok || bootTime < 0)
        return qint64(0);
    return bootTime + ticks / std::max(1L, ::sysconf(_SC_CLK_TCK));
}

// Step folders are named after the process that made them. The process that owns a folder is running and
// started before the folder last changed; a process that started later only took the number of a program
// that was killed (after a restart of the computer, say). The boot time is known to the second: the margin.
bool StepFolderOwnerRuns(qint64 pid, const QFileInfo& folder)
{
    const std::optional<qint64> start = ProcessStart(pid);
    constexpr qint64 kMargin = 2;
    return start && *start <= folder.lastModified().toSecsSinceEpoch() + kMargin;
}

// The 24-bit bitmap a step of this picture is stored as: rows padded to 4 bytes, after a 54-byte header.
qint64 StepFileBytes(const QImage& image)
{
    return 54 + qint64((image.width() * 3 + 3) / 4 * 4) * image.height();
}

}  // namespace

void FloorPlan::RemoveAbandonedSteps(const QString& tempRoot)
{
    static const QRegularExpression name(QStringLiteral("^plan-(\\d+)-"));
    QDir dir(tempRoot);
    // A link named like a step folder is no step folder of ours: it stays, and so does what it points at.
    for (const QFileInfo& entry :
         dir.entryInfoList({QStringLiteral("plan-*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QRegularExpressionMatch m = name.match(entry.fileName());
        bool ok = false;
        const qint64 pid = m.hasMatch() ? m.captured(1).toLongLong(&ok) : 0;
        // This program's own number too: a killed program before a restart of the computer may have had it.
        if (ok && pid > 0 && !StepFolderOwnerRuns(pid, entry))
            RemoveTree(entry.filePath());
    }
}

FloorPlan::FloorPlan(QImage* picture, const QString& tempRoot, qint64 undoBytes)
    : picture_(picture), tempRoot_(tempRoot), pen_(QColor(Qt::black), 1.0), undoBytes_(undoBytes)
{
    work_ = QImage(origWidth_, origHeight_, QImage::Format_RGB32);
    work_.fill(Qt::white);
    if (picture_) {
        width_ = picture_->width();
        height_ = picture_->height();
    }
}

FloorPlan::~FloorPlan()
{
    if (steps_)
        RemoveTree(steps_->path());
}

QString FloorPlan::StepFolder() const { return steps_ ? steps_->path() : QString(); }

bool FloorPlan::EnsureStepFolder()
{
    if (steps_ && steps_->isValid())
        return true;
    if (tempRoot_.isEmpty() || !QDir().mkpath(tempRoot_)) {
        message_ = QStringLiteral("无法建立临时文件夹：") + tempRoot_;
        return false;
    }
    RemoveAbandonedSteps(tempRoot_);
    const QString pattern = QStringLiteral("plan-%1-XXXXXX").arg(QCoreApplication::applicationPid());
    steps_ = std::make_unique<QTemporaryDir>(QDir(tempRoot_).filePath(pattern));
    steps_->setAutoRemove(false); // removed by the destructor, without following a link put in its place
    if (!steps_->isValid()) {
        message_ = QStringLiteral("无法建立临时文件夹：") + steps_->errorString();
        steps_.reset();
        return false;
    }
    return true;
}

QString FloorPlan::StepFile(long long step) const
{
    return QDir(StepFolder()).filePath(QStringLiteral("img%1.bmp").arg(step % kUndoSteps));
}

void FloorPlan::ResetUndo()
{
    if (MakePaintable(picture_))
        work_ = *picture_;
    origWidth_ = width_ = work_.width();
    origHeight_ = height_ = work_.height();
    if (steps_) {
        QDir folder(StepFolder());
        for (const QString& name : folder.entryList({QStringLiteral("*.bmp")}, QDir::Files))
            folder.remove(name);
    }
    current_ = -1;
    first_ = 0;
    last_ = -1;
    std::fill(std::begin(slotBytes_), std::end(slotBytes_), 0);
}

void FloorPlan::DropStep(long long step)
{
    QFile::remove(StepFile(step));
    slotBytes_[step % kUndoSteps] = 0;
}

qint64 FloorPlan::KeptBytes() const
{
    qint64 sum = 0;
    for (long long s = first_; s <= last_; ++s)
        sum += slotBytes_[s % kUndoSteps];
    return sum;
}

// Before `step` is written: the steps redo could reach go, and the oldest go while the ring is full or the
// steps kept and the new one would pass the budget. The current step stays, so one undo is always left.
void FloorPlan::MakeRoomFor(long long step, qint64 bytes)
{
    while (last_ > current_)
        DropStep(last_--);
    while (first_ < current_ && (step - first_ >= kUndoSteps || KeptBytes() + bytes > undoBytes_))
        DropStep(first_++);
}

bool FloorPlan::SaveUndo()
{
    message_.clear();
    // The drawing is kept in the work copy even when its step cannot be saved: a later resize must not lose it.
    if (picture_ && !picture_->isNull())
        work_ = PlanFormat(*picture_);
    if (!EnsureStepFolder())
        return false;
    const long long step = current_ + 1;
    MakeRoomFor(step, StepFileBytes(work_));
    const FileWriteResult written = WriteImageFile(StepFile(step), work_, "BMP");
    if (!written.ok()) {
        message_ = FileWriteText(StepFile(step), written);
        return false;
    }
    current_ = step;
    last_ = step;
    slotBytes_[step % kUndoSteps] = QFileInfo(StepFile(step)).size();
    return true;
}

static_assert(FloorPlan::kMaxSide <= kMaxPictureSide, "every step of a plan can be read back");

bool FloorPlan::LoadStep(long long step, int& w, int& h)
{
    // A step file cut short (a full disk) is refused whole rather than shown with its missing rows black.
    QImage image = ReadPictureFile(StepFile(step)).image;
    if (image.isNull()) {
        message_ = QStringLiteral("无法读取撤消文件：") + StepFile(step);
        return false;
    }
    work_ = PlanFormat(image);
    current_ = step;
    w = work_.width();
    h = work_.height();
    Resize(w, h, HandleNone);
    return true;
}

bool FloorPlan::Undo(int& w, int& h)
{
    message_.clear();
    if (!CanUndo())
        return false;
    return LoadStep(current_ - 1, w, h);
}

bool FloorPlan::Redo(int& w, int& h)
{
    message_.clear();
    if (!CanRedo())
        return false;
    return LoadStep(current_ + 1, w, h);
}

void FloorPlan::Resize(int& w, int& h, int handle)
{
    if (keepRatio_ && handle != HandleNone && origWidth_ > 0 && origHeight_ > 0) {
        const double ratio = double(origHeight_) / double(origWidth_);
        // The other side is clamped before it becomes an int: a thin strip's ratio can carry it past INT_MAX.
        if (handle == HandleRight || handle == HandleLeft) {
            w = ClampSide(w);
            h = int(std::min(std::trunc(w * ratio), double(kMaxSide)));
        } else {
            h = ClampSide(h);
            w = int(std::min(std::trunc(h / ratio), double(kMaxSide)));
        }
    }
    w = ClampSide(w);
    h = ClampSide(h);
    ApplySize(w, h);
}

void FloorPlan::ApplySize(int w, int h)
{
    width_ = w;
    height_ = h;
    if (!picture_)
        return;
    if (work_.size() == QSize(w, h))
        *picture_ = work_;
    else
        *picture_ = work_.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void FloorPlan::RestoreSize(int& w, int& h)
{
    w = origWidth_;
    h = origHeight_;
    Resize(w, h, HandleNone);
}

int FloorPlan::HitTest(int x, int y) const
{
    const int rx = width_ - x;
    const int ry = height_ - y;
    if (rx <= kBand && ry <= kBand)
        return HitBottomRight;
    if (ry <= kBand && rx > kBand && x > kBand)
        return HitBottom;
    if (ry <= kBand && x <= kBand)
        return HitBottomLeft;
    if (x <= kBand && y > kBand && ry > kBand)
        return HitLeft;
    if (x <= kBand && y <= kBand)
        return HitTopLeft;
    if (y <= kBand && x > kBand && rx > kBand)
        return HitTop;
    if (rx <= kBand && y <= kBand)
        return HitTopRight;
    if (rx <= kBand && ry > kBand && y >= kBand)
        return HitRight;
    return HitElsewhere;
}

Qt::CursorShape FloorPlan::CursorAt(int x, int y) const
{
    switch (HitTest(x, y)) {
    case HitBottomRight:
    case HitTopLeft: return Qt::SizeFDiagCursor;
    case HitBottom:
    case HitTop: return Qt::SizeVerCursor;
    case HitBottomLeft:
    case HitTopRight: return Qt::SizeBDiagCursor;
    case HitLeft:
    case HitRight: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

void FloorPlan::LineTo(int x, int y)
{
    if (MakePaintable(picture_)) {
        QPainter p(picture_);
        p.setPen(pen_);
        p.drawLine(penPos_, QPoint(x, y));
    }
    penPos_ = QPoint(x, y);
}

bool FloorPlan::Line(int x0, int y0, int x1, int y1)
{
    MoveTo(x0, y0);
    LineTo(x1, y1);
    return SaveUndo();
}

bool FloorPlan::Rectangle(int x0, int y0, int x1, int y1, int x2, int y2, bool preview)
{
    return DrawShape(Shape::Rect, x0, y0, x1, y1, x2, y2, preview);
}

bool FloorPlan::Ellipse(int x0, int y0, int x1, int y1, int x2, int y2, bool preview)
{
    return DrawShape(Shape::Ellipse, x0, y0, x1, y1, x2, y2, preview);
}

bool FloorPlan::DrawShape(Shape shape, int x0, int y0, int x1, int y1, int x2, int y2, bool preview)
{
    message_.clear();
    if (!MakePaintable(picture_)) {
        message_ = QStringLiteral("没有平面图。");
        return false;
    }
    {
        QPainter p(picture_);
        p.setPen(pen_);
        p.setBrush(Qt::NoBrush);
        auto draw = [&](int xa, int ya, int xb, int yb) {
            // A drag that has not moved yet has no shape; drawing a dot there would leave it behind.
            if (xa == xb && ya == yb)
                return;
            const QRect box = QRect(QPoint(xa, ya), QPoint(xb, yb)).normalized();
            if (shape == Shape::Rect)
                p.drawRect(box);
            else
                p.drawEllipse(box);
        };
        if (preview) {
            // Inverting is its own inverse: drawing the previous band again erases it.
            p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
            draw(x0, y0, x2, y2);
            draw(x0, y0, x1, y1);
            return true;
        }
        draw(x0, y0, x1, y1);
    }
    return SaveUndo();
}

bool FloorPlan::MergeChart(const QImage& chart, QPoint offset)
{
    message_.clear();
    if (chart.isNull() || !MakePaintable(picture_)) {
        message_ = QStringLiteral("没有平面图。");
        return false;
    }
    // Shared, not copied: the painter below detaches the picture from these.
    const QImage picture = *picture_, work = work_;
    {
        QPainter p(picture_);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(offset, chart.convertToFormat(QImage::Format_RGB32));
    }
    if (SaveUndo())
        return true;
    // A merge that cannot be stepped back from is not made: the plan stays as it was.
    *picture_ = picture;
    work_ = work;
    return false;
}
