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
// Kept windows belong to the window that opened them first and close with it. A tool window first opens over
// that window; later it comes back where the user left it, on the screen.
template <class Form>
Form *Kept(QPointer<Form> &form, QWidget *parent)
{
    if (!form) {
        form = new Form(parent);
        if (parent)
            WindowPlacement::PlaceOver(*form, *parent->window());
    }
    return form;
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

void ShowMenChi(QWidget *parent)
{
    TFrmMenChi form(parent);
    if (parent)
        WindowPlacement::PlaceOver(form, *parent->window());
    form.exec();
}

void ShowMenChi2(QWidget *parent)
{
    TFrmMenChi2 form(parent);
    if (parent)
        WindowPlacement::PlaceOver(form, *parent->window());
    form.exec();
}
