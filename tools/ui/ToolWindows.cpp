#include "ToolWindows.h"

#include "TFrmFeiBu.h"
#include "TFrmJiuXing.h"
#include "TFrmMenChi.h"
#include "TFrmMenChi2.h"
#include "TFrmWnl.h"
#include "WindowPlacement.h"

#include <QDateTime>
#include <QPointer>

namespace {
// A tool window first opens over the window it was opened from.
void PlaceOverParent(QWidget &form, QWidget *parent)
{
    if (parent)
        WindowPlacement::PlaceOver(form, *parent->window());
}

// Kept windows belong to the window that opened them first and close with it; after the first opening one comes
// back where the user left it, on the screen.
template <class Form>
Form *Kept(QPointer<Form> &form, QWidget *parent)
{
    if (!form) {
        form = new Form(parent);
        PlaceOverParent(*form, parent);
    }
    return form;
}

template <class Form>
void RunModal(QWidget *parent)
{
    Form form(parent);
    PlaceOverParent(form, parent);
    form.exec();
}

void Raise(QWidget *w)
{
    if (!w->isVisible())
        WindowPlacement::KeepOnScreen(*w);
    w->show();
    w->raise();
    w->activateWindow();
}

QPointer<TFrmJiuXing> jiuXing;
QPointer<TFrmFeiBu> feiBu;
QPointer<TFrmWnl> wnl;
} // namespace

void ShowJiuXing(QWidget *parent) { Raise(Kept(jiuXing, parent)); }

void ShowFeiBu(QWidget *parent) { Raise(Kept(feiBu, parent)); }

void ShowWnl(QWidget *parent)
{
    TFrmWnl *form = Kept(wnl, parent);
    const QDateTime now = QDateTime::currentDateTime();
    form->SetDate({int16_t(now.date().year()), int16_t(now.date().month()), int16_t(now.date().day()),
                   int16_t(now.time().hour()), int16_t(now.time().minute())});
    Raise(form);
}

void ShowMenChi(QWidget *parent) { RunModal<TFrmMenChi>(parent); }

void ShowMenChi2(QWidget *parent) { RunModal<TFrmMenChi2>(parent); }
