#include "SkinMenuStyle.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "TSkinData.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QWidget>

#include <algorithm>

namespace {

QColor toQColor(quint32 colour)
{
    colour = ResolveColor(colour);
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QStyle *makeBaseStyle()
{
    // A fresh instance of the application's style, owned by the proxy.
    QStyle *app = QApplication::style();
    QStyle *base = app ? QStyleFactory::create(app->name()) : nullptr;
    return base ? base : QStyleFactory::create(QStringLiteral("Fusion"));
}

// "caption\tshortcut" as the menu hands it over.
std::pair<QString, QString> splitText(const QString &text)
{
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? std::pair{text, QString()} : std::pair{text.left(tab), text.mid(tab + 1)};
}

constexpr int TextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs;

} // namespace

SkinMenuStyle::SkinMenuStyle(TSkinData *data, Kind kind) : QProxyStyle(makeBaseStyle()), data_(data), kind_(kind) {}

bool SkinMenuStyle::paintsBackground() const
{
    return data_ && !data_->Empty() && data_->MenuBackground && !data_->MenuBackground->Map.isNull();
}

QImage SkinMenuStyle::background(QSize size) const
{
    const TDataSkinObject &bg = *data_->MenuBackground;
    if (cache_.size() != size || cacheSource_ != bg.Map.cacheKey()) {
        cache_ = GetHMap(size, bg.Map, bg.margins(), false, bg.Tile == 1, bg.Frame, 1);
        cacheSource_ = bg.Map.cacheKey();
    }
    return cache_;
}

int SkinMenuStyle::itemWidth(const QFontMetrics &fm, const QString &caption, bool shortcut, bool icons) const
{
    const int margin = data_ && data_->MenuItem ? data_->MenuItem->LeftWidth : 0;
    // A menu with icons already holds the icon's width, as the glyph column of its own items.
    const int glyphs = !icons ? 35 : GlyphSize + (kind_ == BarMenu ? 10 : 12);
    // A lone "&" or an empty caption is measured as a blank.
    const QString text = caption.isEmpty() || caption == u"&" ? QStringLiteral(" ") : caption;
    return fm.size(TextFlags, text).width() + (shortcut ? ShortcutGap : 0) + margin + glyphs;
}

int SkinMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (paintsBackground()) {
        switch (metric) {
        case PM_MenuPanelWidth: return FrameWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth: return 0;
        default: break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void SkinMenuStyle::drawBackgroundPart(QPainter *p, const QRect &rect, const QWidget *menu) const
{
    if (paintsBackground() && menu)
        p->drawImage(rect.topLeft(), background(menu->size()), rect);
    else if (data_)
        p->fillRect(rect, toQColor(data_->Colors[TSkinData::Menu]));
}

void SkinMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    if ((element == PE_PanelMenu || element == PE_FrameMenu) && paintsBackground() && widget) {
        painter->drawImage(0, 0, background(widget->size()));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void SkinMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == CE_MenuEmptyArea && paintsBackground() && widget) {
        drawBackgroundPart(painter, option->rect, widget);
        return;
    }
    if (element == CE_MenuItem && data_ && !data_->Empty()) {
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType != QStyleOptionMenuItem::Scroller &&
                item->menuItemType != QStyleOptionMenuItem::TearOff) {
                drawItem(*item, painter, widget);
                return;
            }
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QSize SkinMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                      const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuItem || !item || !data_ || data_->Empty())
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QFontMetrics fm(item->font);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return QSize(itemWidth(fm, QString(), false, item->maxIconWidth > 0), SeparatorHeight);
    const auto [caption, shortcut] = splitText(item->text);
    const int w = itemWidth(fm, caption, !shortcut.isEmpty(), item->maxIconWidth > 0);
    return QSize(w, std::max(fm.height(), int(GlyphSize)) + 4);
}

void SkinMenuStyle::drawItem(const QStyleOptionMenuItem &item, QPainter *p, const QWidget *menu) const
{
    const QRect r = item.rect;
    if (r.isEmpty())
        return;
    const bool selected = item.state.testFlag(State_Selected);
    const TDataSkinObject *element = data_->MenuItem.get();
    p->save();
    if (!paintsBackground() && menu)
        p->setClipRect(menu->rect().adjusted(1, 1, -1, -1), Qt::IntersectClip); // the native panel's border
    if (element && !element->Map.isNull()) {
        drawBackgroundPart(p, r, menu);
        if (item.menuItemType == QStyleOptionMenuItem::Separator)
            drawSeparator(p, r);
        else
            DrawRect2(*p, r, element->Map, element->margins(), false, element->Tile == 1, element->Trans == 1,
                      element->Frame, selected ? 4 : 1);
    } else if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        drawBackgroundPart(p, r, menu);
        // An etched line 4 pixels below the top.
        p->fillRect(QRect(r.left(), r.top() + 4, r.width(), 1), toQColor(data_->Colors[TSkinData::ButtonShadow]));
        p->fillRect(QRect(r.left(), r.top() + 5, r.width(), 1), toQColor(data_->Colors[TSkinData::ButtonHilight]));
    } else {
        p->fillRect(r, toQColor(data_->Colors[selected ? TSkinData::Hilight : TSkinData::Menu]));
    }
    if (item.menuItemType != QStyleOptionMenuItem::Separator)
        drawItemText(item, p);
    p->restore();
}

void SkinMenuStyle::drawSeparator(QPainter *p, const QRect &r) const
{
    // Frame 2 of the element (its bottom rows when it is taller than the item), cut into the left margin, the
    // middle and the right margin, each stretched to its part of the item; magenta stays out.
    const TDataSkinObject &e = *data_->MenuItem;
    QRect src = SkinFrameRect(e.Map, e.Frame, 2);
    if (src.height() > r.height())
        src.setTop(src.bottom() - r.height() + 1);
    const QImage keyed = KeyedImage(e.Map.copy(src));
    const int l = std::min(e.LeftWidth, keyed.width()), rw = std::min(e.RightWidth, keyed.width() - l);
    const int mid = keyed.width() - l - rw, midTarget = r.width() - l - rw;
    if (midTarget < 0) {
        p->drawImage(r, keyed);
        return;
    }
    if (l > 0)
        p->drawImage(QRect(r.left(), r.top(), l, r.height()), keyed, QRect(0, 0, l, keyed.height()));
    if (mid > 0 && midTarget > 0)
        p->drawImage(QRect(r.left() + l, r.top(), midTarget, r.height()), keyed, QRect(l, 0, mid, keyed.height()));
    if (rw > 0)
        p->drawImage(QRect(r.right() - rw + 1, r.top(), rw, r.height()), keyed,
                     QRect(keyed.width() - rw, 0, rw, keyed.height()));
}

void SkinMenuStyle::drawItemText(const QStyleOptionMenuItem &item, QPainter *p) const
{
    const QRect r = item.rect;
    const bool selected = item.state.testFlag(State_Selected), enabled = item.state.testFlag(State_Enabled);
    const bool rtl = item.direction == Qt::RightToLeft;
    const int margin = data_->MenuItem ? data_->MenuItem->LeftWidth : 0;
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;

    // Colours: selected and enabled, enabled, disabled (the button shadow where the disabled colour would not
    // stand out from the menu text).
    const QColor menuText = toQColor(data_->Colors[TSkinData::MenuText]);
    QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    if (disabled.rgb() == menuText.rgb())
        disabled = toQColor(data_->Colors[TSkinData::ButtonShadow]);
    const QColor text = !enabled ? disabled : selected ? toQColor(data_->Colors[TSkinData::HilightText]) : menuText;

    // The glyph cell; right-to-left menus mirror the whole layout.
    QRect cell(r.left() + 1 + margin, r.top() + 1, GlyphSize, GlyphSize);
    if (rtl)
        cell.moveRight(r.right() - 1 - margin);
    const int glyphTop = r.top() + (r.height() - GlyphSize) / 2;
    if (!item.icon.isNull()) {
        if (checked) {
            p->fillRect(cell, toQColor(data_->Colors[TSkinData::Buttonlight]));
            p->setPen(toQColor(data_->Colors[TSkinData::ButtonShadow]));
            p->drawLine(cell.topLeft(), cell.topRight());
            p->drawLine(cell.topLeft(), cell.bottomLeft());
            p->setPen(toQColor(data_->Colors[TSkinData::ButtonHilight]));
            p->drawLine(cell.bottomLeft(), cell.bottomRight());
            p->drawLine(cell.topRight(), cell.bottomRight());
        }
        const QPixmap glyph = item.icon.pixmap(QSize(GlyphSize, GlyphSize), enabled ? QIcon::Normal : QIcon::Disabled);
        p->drawPixmap(QRect(cell.left(), glyphTop, GlyphSize, GlyphSize), glyph);
    } else if (checked) {
        // The check mark: a tick 7 pixels wide and 3 thick, in the text colour.
        const int x = cell.left() + (GlyphSize - 7) / 2, y = glyphTop + (GlyphSize - 7) / 2;
        p->setPen(Qt::NoPen);
        p->setBrush(text);
        for (int i = 0; i < 7; ++i) {
            const int top = i < 3 ? y + 2 + i : y + 4 - (i - 2);
            p->fillRect(QRect(x + i, top, 1, 3), text);
        }
    }

    const auto [caption, shortcut] = splitText(item.text);
    QFont font = item.font;
    if (item.menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    p->setFont(font);
    p->setPen(text);
    const QRect textRect = rtl ? QRect(r.left() + 1, r.top(), cell.left() - 3 - r.left() - 1, r.height())
                               : QRect(cell.right() + 1 + 3, r.top(), r.right() - 1 - cell.right() - 3, r.height());
    p->drawText(textRect, TextFlags | Qt::AlignVCenter | (rtl ? Qt::AlignRight : Qt::AlignLeft), caption);
    if (!shortcut.isEmpty()) {
        const QRect sc = rtl ? QRect(r.left() + ShortcutRight, r.top(), r.width() - ShortcutRight, r.height())
                             : QRect(r.left(), r.top(), r.width() - ShortcutRight, r.height());
        p->drawText(sc, Qt::TextSingleLine | Qt::AlignVCenter | (rtl ? Qt::AlignLeft : Qt::AlignRight), shortcut);
    }
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        // The submenu arrow: a small solid triangle near the far end.
        const int cy = r.top() + r.height() / 2, x = rtl ? r.left() + 5 : r.right() - 8;
        for (int i = 0; i < 4; ++i)
            p->fillRect(QRect(rtl ? x + 3 - i : x + i, cy - 3 + i, 1, 7 - 2 * i), text);
    }
}
