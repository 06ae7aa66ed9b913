#include "BirthPillars.h"

// The program's calendar is not built in yet: birth dates with a month are refused until it is.
std::unique_ptr<IChartCalendar> MakeProgramCalendar() { return nullptr; }
