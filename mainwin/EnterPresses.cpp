#include "EnterPresses.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>

namespace {

class EnterFilter : public QObject {
public:
    EnterFilter(QWidget *panel, QAbstractButton *button) : QObject(panel), m_button(button) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !m_button || QApplication::activePopupWidget())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat()
            || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *focused = qobject_cast<QAbstractButton *>(watched);
        const bool ownButton = focused && !qobject_cast<QRadioButton *>(focused) && !qobject_cast<QCheckBox *>(focused);
        (ownButton ? focused : m_button.data())->click();
        return true;
    }

private:
    QPointer<QAbstractButton> m_button;
};

} // namespace

void PressOnEnter(QWidget *panel, QAbstractButton *button, const QList<QWidget *> &ownEnter)
{
    auto *filter = new EnterFilter(panel, button);
    for (QWidget *w : panel->findChildren<QWidget *>()) {
        if (w->window() == panel->window() && !ownEnter.contains(w))
            w->installEventFilter(filter);
    }
}
