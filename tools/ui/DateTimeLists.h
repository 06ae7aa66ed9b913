#pragma once

class QComboBox;

// Fills the month (1..12月), day (1..31日), hour (0..23 with its branch) and minute (0..59分) lists of a date
// entry; item i of each list is the value i + 1 (months, days) or i (hours, minutes).
void FillDateTimeLists(QComboBox *month, QComboBox *day, QComboBox *hour, QComboBox *minute);
