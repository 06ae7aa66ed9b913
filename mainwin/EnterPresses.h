#pragma once

#include <QList>

class QAbstractButton;
class QWidget;

// Enter (Return or the keypad's Enter) anywhere in `panel` presses `button`, as the default button of a form
// does; a push or tool button that has the focus is pressed itself. Keys meant for an open drop-down list or
// menu are left to it, and so is Enter in the controls of `ownEnter`, for which it means something of their
// own (they must sit directly in the panel, so that the key does not reach a covered control on its way up).
// Covers the controls the panel holds when this is called.
void PressOnEnter(QWidget *panel, QAbstractButton *button, const QList<QWidget *> &ownEnter = {});
