#include "MUiFont.h"


#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QToolTip>
#include <QWidget>

#include "TImage.h"

MUiFont AppUiFont;

namespace {

const QString kMeasureChar = QStringLiteral("国");

QFont MeasureFont(int size)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(size);
    return f;
}

int CharWidth(int size)
{
    return QFontMetrics(MeasureFont(size)).horizontalAdvance(kMeasureChar);
}

int CharHeight(int size)
{
    return QFontMetrics(MeasureFont(size)).height();
}

bool LayoutHolds(const QLayout *layout, const QWidget *w)
{
    if (!layout)
        return false;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (!item)
            continue;
        if (item->widget() == w)
            return true;
        if (LayoutHolds(item->layout(), w))
            return true;
    }
    return false;
}

// Whether a container places this widget itself (a layout or a splitter): then its minimum and maximum sizes
// are what the form designer fixed, and the geometry follows from them and from the font.
bool IsPlacedByContainer(const QWidget *w)
{
    const QWidget *parent = w->parentWidget();
    if (!parent)
        return false;
    if (qobject_cast<const QSplitter *>(parent))
        return true;
    return LayoutHolds(parent->layout(), w);
}

// Qt's own parts of a compound control (a tab widget's bar and stack, a scroll area's viewport) carry names
// starting with "qt_" or none at all; they are not controls of the form and only pass the walk on.
bool IsInnerPart(const QWidget *w)
{
    const QString name = w->objectName();
    return name.isEmpty() || name.startsWith(QLatin1String("qt_"));
}

int Scaled(int v, float r)
{
    return int(double(v) * double(r)); // truncation toward zero, as every scaled bound
}

} // namespace

void MUiFont::LoadSettings(int fontSizeVar, bool changeMenuSize)
{
    iFontSizeVar = fontSizeVar;
    bChangeMenuSize = changeMenuSize;
}

bool MUiFont::GetRatios(int size, float &rx, float &ry) const
{
    const int w0 = CharWidth(size);
    const int h0 = CharHeight(size);
    const int n = size + iFontSizeVar;
    if (n < 3 || n > 100 || w0 <= 0 || h0 <= 0)
        return false;
    rx = float(CharWidth(n)) / float(w0);
    ry = float(CharHeight(n)) / float(h0);
    return true;
}

bool MUiFont::ApplyToForm(QWidget *form, const QStringList &names)
{
    if (!form || iFontSizeVar == 0)
        return false;
    const int base = FontSizeOf(form);
    if (base + iFontSizeVar < 3 || base + iFontSizeVar > 100)
        return false;
    m_skip = names;

    // Menus follow the menu-font setting, not the form: fix their font before the form's changes reach them.
    const QList<QWidget *> menus = [form] {
        QList<QWidget *> list;
        for (QMenuBar *bar : form->findChildren<QMenuBar *>())
            list << bar;
        for (QMenu *menu : form->findChildren<QMenu *>())
            list << menu;
        return list;
    }();
    for (QWidget *menu : menus)
        pinFont(menu);

    float rx = 1, ry = 1;
    GetRatios(base, rx, ry);
    ScaleTree(form, rx, ry, base + iFontSizeVar);

    QFont font(QStringLiteral("宋体"));
    font.setPointSize(base + iFontSizeVar);
    if (bChangeMenuSize) {
        for (QWidget *menu : menus)
            menu->setFont(font);
        QApplication::setFont(font, "QMenu");
        QApplication::setFont(font, "QMenuBar");
    }
    QToolTip::setFont(font);
    return true;
}

bool MUiFont::isSkipped(const QWidget *control) const
{
    return m_skip.contains(control->objectName(), Qt::CaseInsensitive);
}

void MUiFont::pinFont(QWidget *control)
{
    QFont f = control->font();
    f.setFamily(f.family());
    f.setPointSizeF(f.pointSizeF());
    control->setFont(f);
}

void MUiFont::ScaleTree(QWidget *control, float rx, float ry, int size)
{
    const QList<QWidget *> children = control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    if (!children.isEmpty()) {
        // A container measures its own font: its children scale by the ratios of that size.
        const int s = FontSizeOf(control);
        if (s > 0) {
            float cx = rx, cy = ry;
            if (GetRatios(s, cx, cy)) {
                rx = cx;
                ry = cy;
            }
            size = s + iFontSizeVar;
        }
        for (QWidget *child : children) {
            // Windows owned by the form (dialogs, popup menus) and the menu bar are not part of its face.
            if (child->isWindow() || qobject_cast<QMenuBar *>(child))
                continue;
            ScaleTree(child, rx, ry, size);
        }
    }
    if (isSkipped(control)) {
        pinFont(control); // the form's new font must not reach it through inheritance either
        return;
    }
    if (IsInnerPart(control) && control->parentWidget())
        return; // follows its control
    ScaleBounds(control, rx, ry);
    SetFontSize(control, size);
}

void MUiFont::ScaleBounds(QWidget *control, float rx, float ry)
{
    if (QString::fromLatin1(control->metaObject()->className()).compare(QLatin1String("TImage"),
                                                                        Qt::CaseInsensitive) == 0)
        static_cast<TImage *>(control)->Clear();

    if (control->isWindow()) {
        control->resize(Scaled(control->width(), rx), Scaled(control->height(), ry));
        return;
    }
    if (IsPlacedByContainer(control)) {
        const QSize minSize = control->minimumSize();
        const QSize maxSize = control->maximumSize();
        control->setMinimumSize(Scaled(minSize.width(), rx), Scaled(minSize.height(), ry));
        control->setMaximumSize(maxSize.width() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : Scaled(maxSize.width(), rx),
                                maxSize.height() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX
                                                                    : Scaled(maxSize.height(), ry));
        return;
    }
    const QRect r = control->geometry();
    control->setGeometry(Scaled(r.left(), rx), Scaled(r.top(), ry), Scaled(r.width(), rx), Scaled(r.height(), ry));
}

int MUiFont::FontSizeOf(const QWidget *control)
{
    const qreal pt = control->font().pointSizeF();
    return pt > 0 ? qRound(pt) : 0;
}

void MUiFont::SetFontSize(QWidget *control, int size)
{
    QFont f = control->font();
    f.setPointSize(size);
    control->setFont(f);
}

int MUiFont::RecommendedDelta(QWidget *form)
{
    const int base = form ? FontSizeOf(form) : 9;
    const int w = CharWidth(base);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1920;
    const int target = int(double(screenWidth) * (1.0 / 1920.0) * w);
    const int step = screenWidth > 1920 ? 1 : -1;
    int k = base;
    while (k >= 3 && k < 100) {
        k += step;
        const int w2 = CharWidth(k);
        if ((step == 1 && w2 > target) || (step == -1 && w2 < target))
            break;
    }
    return k - base - step;
}
