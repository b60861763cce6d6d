// Where a window first appears.
#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace tessaflex::ui {
namespace {

// Centred where it fits; larger than the area (small or scaled screens), its top-left corner in the area.
TEST(WindowPlacement, CentredWhereItFitsElseItsTitleBarOnTheScreen) {
  const std::tuple<QSize, QRect, QPoint> cases[] = {{{400, 300}, {0, 0, 1024, 768}, {312, 234}},
                                                    {{400, 300}, {0, 30, 1024, 738}, {312, 249}},
                                                    {{512, 384}, {0, 0, 512, 384}, {0, 0}},
                                                    {{473, 449}, {0, 0, 512, 384}, {19, 0}},
                                                    {{2000, 300}, {100, 30, 800, 600}, {100, 180}}};
  for (const auto& [frame, available, top_left] : cases)
    EXPECT_EQ(placed_top_left(frame, available), top_left);
}

}  // namespace
}  // namespace tessaflex::ui
