#include "FormUtil.h"

#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>

namespace {

QList<QRadioButton *> Buttons(const QGroupBox *group)
{
    return group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
}

} // namespace

int RadioIndex(const QGroupBox *group)
{
    const QList<QRadioButton *> buttons = Buttons(group);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return i;
    }
    return -1;
}

void SetRadioIndex(QGroupBox *group, int index)
{
    const QList<QRadioButton *> buttons = Buttons(group);
    if (index >= 0 && index < buttons.size()) {
        buttons[index]->setChecked(true);
        return;
    }
    // No item: every button unchecked, which an exclusive group allows only while exclusivity is off.
    for (QRadioButton *b : buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

bool IsItemChecked(const QListWidget *list, int row)
{
    const QListWidgetItem *item = list->item(row);
    return item && item->checkState() == Qt::Checked;
}

void SetItemChecked(QListWidget *list, int row, bool checked)
{
    if (QListWidgetItem *item = list->item(row))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}
