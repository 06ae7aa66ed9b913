#include "MQuorin.h"

#include "ChartPainterQuorin.h"

// The drawing of the current view after a lay-out or a view command. The square chart is drawn whatever the
// display mode; on the round chart the lay-out draws only the flying-star and Eight Mansions views, the annual
// and inner-qi views waiting for their own commands. False when nothing was drawn.
bool MQuorin::DrawChart()
{
    if (iPanShape != 1 && Rec.chartPanel != 0 && Rec.chartPanel != 1)
        return false;
    return DrawQuorinPan(*this);
}
