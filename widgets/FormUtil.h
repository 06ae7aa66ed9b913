#pragma once

#include <QString>

class QGroupBox;
class QListWidget;
class QWidget;

// Radio groups of the forms are group boxes holding their radio buttons in item order; these give the
// item index of the checked button like a radio group's ItemIndex (-1 for none).
int RadioIndex(const QGroupBox *group);
void SetRadioIndex(QGroupBox *group, int index);

// Check lists are list widgets of checkable items.
bool IsItemChecked(const QListWidget *list, int row);
void SetItemChecked(QListWidget *list, int row, bool checked);

