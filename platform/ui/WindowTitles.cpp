#include "WindowTitles.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QWidget>

namespace WindowTitles {

namespace {

// The zero-height item that holds a window's layout at its title's width; found again by its type.
class TitleStrut : public QSpacerItem {
public:
    explicit TitleStrut(int width) : QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed) {}
};

TitleStrut *strutOf(QLayout &layout)
{
    for (int i = 0; i < layout.count(); ++i)
        if (auto *strut = dynamic_cast<TitleStrut *>(layout.itemAt(i)))
            return strut;
    return nullptr;
}

// True when the strut holds the layout at `width`: a vertical box or a grid takes it as a row of its own
// without spacing (an empty item gets none), so the layout grows only in width.
bool holdWidth(QLayout &layout, int width)
{
    auto *box = qobject_cast<QBoxLayout *>(&layout);
    auto *grid = qobject_cast<QGridLayout *>(&layout);
    const bool vertical = box && (box->direction() == QBoxLayout::TopToBottom ||
                                  box->direction() == QBoxLayout::BottomToTop);
    if (!vertical && !grid)
        return false;
    const QMargins m = layout.contentsMargins();
    const int inner = std::max(0, width - m.left() - m.right());
    if (TitleStrut *strut = strutOf(layout)) {
        strut->changeSize(inner, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout.invalidate();
    } else if (grid) {
        grid->addItem(new TitleStrut(inner), grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));
    } else {
        box->addItem(new TitleStrut(inner));
    }
    return true;
}

class Fitter : public QObject {
public:
    explicit Fitter(QObject *parent) : QObject(parent) { setObjectName(QLatin1String(Name)); }
    static constexpr const char *Name = "windowTitleFitter";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (t != QEvent::Show && t != QEvent::WindowTitleChange)
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !w->isWindow() || (t == QEvent::WindowTitleChange && !w->isVisible()))
            return false;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            FitWidth(*w);
        return false;
    }
};

} // namespace

QString Shown(const QString &title)
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() || title == name ? title : title + QStringLiteral(" \u2014 ") + name;
}

int BarWidth(const QWidget &window)
{
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    return fm.horizontalAdvance(Shown(window.windowTitle())) + 8 * fm.height();
}

void FitWidth(QWidget &window)
{
    if (window.windowTitle().isEmpty())
        return;
    const int needed = BarWidth(window);
    if (QLayout *layout = window.layout(); layout && holdWidth(*layout, needed)) {
        layout->activate();
    } else if (window.minimumWidth() < needed) {
        window.setMinimumWidth(needed);
    }
    if (window.width() < needed && window.maximumWidth() >= needed)
        window.resize(needed, window.height());
}

void FitEveryWindow()
{
    if (qApp->findChild<QObject *>(QLatin1String(Fitter::Name), Qt::FindDirectChildrenOnly))
        return;
    qApp->installEventFilter(new Fitter(qApp));
}

} // namespace WindowTitles
