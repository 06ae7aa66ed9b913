#pragma once

#include <QImage>
#include <QProxyStyle>

class TSkinData;
class QStyleOptionMenuItem;

// The look of one skinned popup menu, given to that menu alone (QWidget::setStyle).
//
// Frame and background: while the skin has a MenuBackground picture, the menu gets a 3-pixel frame and the
// picture stretched over the whole menu as a nine-grid (its margins kept, its Tile setting honoured); without
// one the frame, the margins and the background are the base style's.
//
// Items: on the matching part of that background (or the skin's menu colour), a MenuItem element's frame 1
// (4 when selected) as a nine-grid over the item, or its frame 2 for a separator; without the element, the menu
// colour (the highlight colour when selected). Then a 16-pixel glyph cell 1 pixel in from the element's left
// margin (the action's icon, in a sunken cell when checked; a check mark for a checked item without one), the
// caption 3 pixels right of the cell, vertically centred, and the shortcut right-aligned, ending 11 pixels
// from the item's right edge.
//
// Measuring: a text item is its caption's width plus the element's left margin plus 35, or, when the menu
// shows icons, plus the icon's width (16) and 12 (10 for a menu of the drawn menu bar); an item with a shortcut adds a 12-pixel gap (the menu
// itself adds the width of its widest shortcut). Text items are the taller of the text and the glyph plus 4
// high, separators 8. Texts are measured and drawn whole, however long.
class SkinMenuStyle : public QProxyStyle {
public:
    enum Kind { PopupMenu, BarMenu };
    static constexpr int FrameWidth = 3, GlyphSize = 16, ShortcutGap = 12, ShortcutRight = 11, SeparatorHeight = 8;

    SkinMenuStyle(TSkinData *data, Kind kind);

    void setData(TSkinData *data) { data_ = data; }
    TSkinData *data() const { return data_; }
    void setKind(Kind kind) { kind_ = kind; }
    Kind kind() const { return kind_; }
    bool paintsBackground() const; // the skin has a MenuBackground picture
    // The width an item's caption and shortcut need, by the rule above, before the menu adds its shortcuts.
    int itemWidth(const QFontMetrics &fm, const QString &caption, bool shortcut, bool icons) const;

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;

private:
    QImage background(QSize size) const;
    void drawBackgroundPart(QPainter *p, const QRect &rect, const QWidget *menu) const;
    void drawItem(const QStyleOptionMenuItem &item, QPainter *p, const QWidget *menu) const;
    void drawSeparator(QPainter *p, const QRect &rect) const;
    void drawItemText(const QStyleOptionMenuItem &item, QPainter *p) const;

    TSkinData *data_;
    Kind kind_;
    mutable QImage cache_;
    mutable qint64 cacheSource_ = 0;
};
