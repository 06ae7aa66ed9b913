#include "WindowGeometry.h"
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

TEST(WindowGeometry, StoredPaneSizesAreKeptWithinTheWindow)
{
    using WindowGeometry::PaneSizes;
    constexpr int big = 2147483647;
    const struct {
        const char *what;
        PaneSizes stored;
        QSize room, report;
        PaneSizes fitted;
    } rows[] = {
        {"sizes that fit stay", {180, 600, 80}, {1200, 500}, {}, {180, 600, 80}},
        {"below their bounds: raised", {5, 100, 1}, {1200, 500}, {}, {30, 500, 20}},
        {"a tree as wide as an int", {big, 600, 80}, {1200, 500}, {}, {500, 600, 80}},
        {"a picture panel as wide as an int", {180, big, 80}, {1200, 500}, {}, {30, 1070, 80}},
        {"both", {big, big, 80}, {1200, 500}, {}, {30, 1070, 80}},
        {"a comments pane as high as an int", {180, 600, big}, {1200, 500}, {}, {180, 600, 400}},
        {"negative sizes", {-big - 1, -5, -1}, {1200, 500}, {}, {30, 500, 20}},
        {"the report's own minimum", {big, 600, big}, {1200, 500}, {350, 150}, {250, 600, 350}},
        {"a tree that fits beside a wide report", {180, 600, 80}, {1200, 500}, {350, 150}, {180, 600, 80}},
        {"a window too small for the bounds keeps them", {big, big, big}, {300, 50}, {}, {30, 500, 20}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(WindowGeometry::FitPanes(row.stored, row.room, row.report), row.fitted) << row.what;
}
