// Writes skin_<name>_sheet.png for every shipped skin into the working folder: each element strip at twice
// its size, frames apart, and a mock window drawn from the frame, caption buttons and controls at 100 %.
#include "SkinDraw.h"
#include "SkinGenerator.h"
#include "TSkinData.h"

#include <QGuiApplication>

namespace {

void mockWindow(QPainter &p, const TSkinData &s, const QRect &w, bool active)
{
    const int f = active ? 1 : 2;
    const int top = s.Top.Map.height() / 2, left = s.Left.frameWidth(), right = s.Right.frameWidth(),
              bottom = s.Bottom.Map.height() / 2;
    const quint32 face = s.Colors[TSkinData::ButtonFace];
    p.fillRect(w.adjusted(left, top, -right, -bottom), QColor(face & 0xFF, (face >> 8) & 0xFF, face >> 16));
    DrawRect2(p, QRect(w.left(), w.top(), w.width(), top), s.Top.Map, s.Top.margins(), true, false, true, 2, f);
    DrawRect2(p, QRect(w.left(), w.top() + top, left, w.height() - top), s.Left.Map, s.Left.margins(), false,
              false, true, 2, f);
    DrawRect2(p, QRect(w.right() + 1 - right, w.top() + top, right, w.height() - top), s.Right.Map,
              s.Right.margins(), false, false, true, 2, f);
    DrawRect2(p, QRect(w.left(), w.bottom() + 1 - bottom, w.width(), bottom), s.Bottom.Map, s.Bottom.margins(),
              true, false, true, 2, f);
    // The caption where the frame painter puts it, in the skin's title colours.
    const quint32 ink = active ? s.Title.ActiveText : s.Title.InActiveText;
    p.setPen(QColor(ink & 0xFF, (ink >> 8) & 0xFF, (ink >> 16) & 0xFF));
    QFont font = s.CaptionFont;
    font.setPixelSize(s.Title.FontHeight);
    p.setFont(font);
    p.drawText(QRect(w.left() + s.Title.LeftWidth, w.top() + s.Title.TopHeight, 300, top - s.Title.TopHeight),
               Qt::AlignLeft | Qt::AlignTop, QStringLiteral("玄空飞星 — %1").arg(s.SkinName));
    for (const auto &b : s.SysButtons) {
        if (b->Visibility == 1 || b->Visibility == 1000)
            continue; // restore and help stay hidden on a normal window
        const int bw = b->frameWidth();
        const QRect r(b->Align == 1 ? w.right() + 1 - b->Xcoord : w.left() + b->Xcoord, w.top() + b->Ycoord, bw,
                      b->Map.height());
        DrawRect1(p, r, b->Map, true, b->Frame, active ? 1 : std::min(4, b->Frame));
    }
    const QRect bar(w.left() + left, w.top() + top, w.width() - left - right, 22);
    DrawRect2(p, bar, s.MenuBar->Map, {}, false, false, false, 2, 1);
    // Buttons in their five states, check boxes and radios, an edit, a combo, a scroll bar, a progress bar.
    int x = w.left() + 12, y = bar.bottom() + 12;
    for (int st = 1; st <= 5; ++st, x += 62)
        DrawRect2(p, QRect(x, y, 56, 24), s.Buttons.Map, s.Buttons.margins(), false, false, true, 5, st);
    x = w.left() + 12, y += 34;
    for (int fr = 1; fr <= 12; ++fr, x += 18)
        DrawRect1(p, QRect(x, y, 13, 13), s.Buttons.CheckMap, true, 12, fr);
    for (int fr = 1; fr <= 8; ++fr, x += 18)
        DrawRect1(p, QRect(x, y, 13, 13), s.Buttons.RadioMap, true, 8, fr);
    y += 24, x = w.left() + 12;
    DrawRect2(p, QRect(x, y, 140, 22), s.SunkEdge->Map, s.SunkEdge->margins(), false, false, true, 4, 1);
    DrawRect1(p, QRect(x + 150, y, 50 * 4, 22), s.ComboBoxMap, true, 1, 1);
    y += 32;
    const int arrow = s.Scrollbar->Map.height();
    const QRect sb(x, y, 240, arrow);
    DrawRect2(p, sb, s.HorzScroll->Map, s.HorzScroll->margins(), false, false, true, 4, 1);
    DrawRect3(p, QRect(sb.left(), sb.top(), arrow, arrow), s.Scrollbar->Map, true, 23, 1);
    DrawRect3(p, QRect(sb.right() + 1 - arrow, sb.top(), arrow, arrow), s.Scrollbar->Map, true, 23, 8);
    DrawRect2(p, QRect(sb.left() + 60, sb.top(), 70, arrow), s.HorzScrollThumb->Map, s.HorzScrollThumb->margins(),
              false, false, true, 3, 3);
    DrawRect3(p, QRect(sb.left() + 60, sb.top(), 70, arrow), s.Scrollbar->Map, true, 23, 17);
    y += 28;
    DrawRect2(p, QRect(x, y, 240, 14), s.Progress->Map, s.Progress->margins(), false, false, true, 2, 1);
    DrawRect2(p, QRect(x, y, 150, 14), s.Progress->Map, s.Progress->margins(), false, false, true, 2, 2);
    y += 24;
    for (int t = 0; t < 4; ++t)
        DrawRect2(p, QRect(x + t * 64, y + (t == 1 ? 0 : 2), 62, t == 1 ? 24 : 22), s.Tabs->Map, s.Tabs->margins(),
                  false, false, true, 5, t == 1 ? 2 : t == 3 ? 4 : 1);
    DrawRect2(p, QRect(x, y + 24, 300, 60), s.TabPane->Map, s.TabPane->margins(), false, false, true, 1, 1);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        QByteArray package;
        WriteSkinPackage(GenerateSkin(theme), 20000, package);
        TSkinData skin;
        skin.LoadFromStream(SkinCompress(package));
        QImage sheet(1100, 1000, QImage::Format_RGB32);
        sheet.fill(qRgb(128, 128, 128));
        QPainter p(&sheet);
        mockWindow(p, skin, QRect(10, 10, 520, 420), true);
        mockWindow(p, skin, QRect(560, 10, 520, 420), false);
        // Every element strip at 200 %, frames 4 pixels apart.
        const QList<const TDataSkinObject *> elements = {
            &skin.Left, &skin.Right, &skin.Top, &skin.Bottom, &skin.Buttons, skin.MenuBar.get(), skin.Progress.get(),
            skin.ProgressChunk.get(), skin.GroupBoxEdge.get(), skin.GroupBox.get(), skin.Tabs.get(),
            skin.StatusBarEdges.get(), skin.TabPane.get(), skin.ToolBars.get(), skin.ComboButton.get(),
            skin.SunkEdge.get(), skin.ExtraImages.get(), skin.Headerbar.get(), skin.MenuItem.get(),
            skin.MenuBackground.get(), skin.Scrollbar.get(), skin.HorzScroll.get(), skin.VertScroll.get(),
            skin.HorzScrollThumb.get(), skin.VertScrollThumb.get(), skin.ThumbHorz.get(), skin.ThumbVert.get(),
            skin.ThumbDown.get(), skin.UpDownHorz.get(), skin.UpDownVert.get(), skin.Track.get(),
            skin.TrackVert.get()};
        QList<const TDataSkinObject *> all = elements;
        for (const auto &b : skin.SysButtons)
            all.append(b.get());
        int x = 10, y = 450, rowHeight = 0;
        for (const TDataSkinObject *e : all) {
            const bool stacked = e == &skin.Top || e == &skin.Bottom;
            const int frames = std::max(e->Frame, 1);
            const QSize cell = stacked ? QSize(e->Map.width(), e->Map.height() / frames)
                                       : QSize(e->Map.width() / frames, e->Map.height());
            const int width = frames * (cell.width() * 2 + 4);
            if (x + width > 1090)
                x = 10, y += rowHeight + 10, rowHeight = 0;
            for (int f = 0; f < frames; ++f) {
                const QRect src = stacked ? QRect(0, f * cell.height(), cell.width(), cell.height())
                                          : QRect(f * cell.width(), 0, cell.width(), cell.height());
                p.drawImage(QRect(x + f * (cell.width() * 2 + 4), y, cell.width() * 2, cell.height() * 2), e->Map, src);
            }
            x += width + 12;
            rowHeight = std::max(rowHeight, cell.height() * 2);
        }
        p.end();
        sheet.save(QStringLiteral("skin_%1_sheet.png").arg(theme.name));
    }
    return 0;
}
