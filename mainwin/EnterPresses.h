#pragma once

class QAbstractButton;
class QWidget;

// Enter (Return or the keypad's Enter) anywhere in `panel` presses `button`, as the default button of a form
// does; a push or tool button that has the focus is pressed itself. Keys meant for an open drop-down list or
// menu are left to it. Covers the controls the panel holds when this is called.
void PressOnEnter(QWidget *panel, QAbstractButton *button);
