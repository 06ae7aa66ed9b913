#include "WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowGeometry, StoredRectanglesAreMadeWholeAndVisible)
{
    const QSize minimum(840, 330);
    const QRect screen(0, 0, 1600, 900);
    const struct {
        QRect stored, available, placed;
    } rows[] = {
        {{30, 40, 900, 700}, screen, {30, 40, 900, 700}},                    // a usable rectangle stays
        {{10, 10, 400, 400}, screen, {10, 10, 840, 400}},                    // too narrow: the minimum width
        {{3000, 2000, 0, -100}, screen, {760, 570, 840, 330}},              // no size, far off: whole, in view
        {{-5000, -5000, 1000, 600}, screen, {0, 0, 1000, 600}},             // off the top-left
        {{1000, 100, 900, 600}, screen, {700, 100, 900, 600}},              // partly off the right edge
        {{0, 0, 3000, 2000}, screen, {0, 0, 1600, 900}},                     // larger than the screen
        {{100, 100, 400, 400}, {0, 0, 800, 600}, {0, 100, 840, 400}},       // the minimum cannot fit: left edge shown
        {{100, 100, 900, 600}, {1600, 0, 1280, 800}, {1600, 100, 900, 600}}, // a second screen's area
    };
    for (const auto &row : rows)
        EXPECT_EQ(WindowPlacement::Place(row.stored, minimum, row.available), row.placed) << row.stored.x();
}
