#include "DateTimeLists.h"

#include "LunarText.h"

#include <QComboBox>

void FillDateTimeLists(QComboBox *month, QComboBox *day, QComboBox *hour, QComboBox *minute)
{
    for (int m = 1; m <= 12; ++m)
        month->addItem(QStringLiteral("%1月").arg(m));
    for (int d = 1; d <= 31; ++d)
        day->addItem(QStringLiteral("%1日").arg(d));
    for (int h = 0; h < 24; ++h)
        hour->addItem(HourItemText(h));
    for (int m = 0; m < 60; ++m)
        minute->addItem(QStringLiteral("%1分").arg(m));
}
