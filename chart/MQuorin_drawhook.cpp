#include "MQuorin.h"

// The drawing of the current view after a lay-out or a view command. The chart picture is drawn by the drawing
// units; until they are connected here nothing is drawn and the lay-out goes on with its report.
bool MQuorin::DrawChart() { return true; }
