#include "MQuorin.h"

#include "FloorPlan.h"

#include <QImage>

FloorPlan &MQuorin::BkPlan()
{
    if (!pFloorPlan)
        pFloorPlan = std::make_shared<FloorPlan>(pImgBk, sTempPath);
    return *pFloorPlan;
}

void MQuorin::SyncBkFields()
{
    const FloorPlan &plan = BkPlan();
    iBkWidth = plan.Width();
    iBkHeight = plan.Height();
    iBkCenterX = plan.CenterX();
    iBkCenterY = plan.CenterY();
    iBkRadius = plan.Radius();
    iBkOrigWidth = plan.OrigWidth();
    iBkOrigHeight = plan.OrigHeight();
    iUndoIndex = plan.UndoIndex();
    if (pBkBitmap)
        *pBkBitmap = plan.WorkCopy();
    else
        pBkBitmap = std::make_shared<QImage>(plan.WorkCopy());
}

bool MQuorin::BkResult(bool ok)
{
    SyncBkFields();
    if (!ok)
        sMessage = BkPlan().Message();
    return ok;
}

void MQuorin::ResetBkUndo()
{
    BkPlan().ResetUndo();
    SyncBkFields();
}

bool MQuorin::SaveBkUndo() { return BkResult(BkPlan().SaveUndo()); }

void MQuorin::ResizeBk(int &w, int &h, uint8_t handle)
{
    // The field is the switch the window reads and may set; the plan follows it.
    BkPlan().SetKeepRatio(bBkKeepRatio != 0);
    BkPlan().Resize(w, h, handle);
    SyncBkFields();
}

void MQuorin::RestoreBkSize(int &w, int &h)
{
    BkPlan().RestoreSize(w, h);
    SyncBkFields();
}

void MQuorin::SetBkKeepRatio(uint8_t keep)
{
    bBkKeepRatio = keep;
    BkPlan().SetKeepRatio(keep != 0);
}

int MQuorin::HitTestBk(int x, int y) { return BkPlan().HitTest(x, y); }

Qt::CursorShape MQuorin::SetBkCursor(int x, int y) { return BkPlan().CursorAt(x, y); }

void MQuorin::BkMoveTo(int x, int y) { BkPlan().MoveTo(x, y); }

void MQuorin::BkLineTo(int x, int y) { BkPlan().LineTo(x, y); }

bool MQuorin::BkLine(int x0, int y0, int x1, int y1) { return BkResult(BkPlan().Line(x0, y0, x1, y1)); }

bool MQuorin::BkRectangle(int x0, int y0, int x1, int y1, int x2, int y2, bool preview)
{
    return BkResult(BkPlan().Rectangle(x0, y0, x1, y1, x2, y2, preview));
}

bool MQuorin::BkEllipse(int x0, int y0, int x1, int y1, int x2, int y2, bool preview)
{
    return BkResult(BkPlan().Ellipse(x0, y0, x1, y1, x2, y2, preview));
}

bool MQuorin::UndoBk(int &w, int &h) { return BkResult(BkPlan().Undo(w, h)); }

bool MQuorin::RedoBk(int &w, int &h) { return BkResult(BkPlan().Redo(w, h)); }

bool MQuorin::MergePanToBk(QPoint offset)
{
    // Only a laid-out chart is worth stamping: a refused lay-out clears the header with the results.
    if (!LaidOut() || !pImg || pImg->isNull()) {
        sMessage = QStringLiteral("请先排一个正确的盘");
        return false;
    }
    return BkResult(BkPlan().MergeChart(*pImg, offset));
}
