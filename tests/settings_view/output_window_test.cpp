// Scrolling of the output window.
#include <gtest/gtest.h>

#include <windows.h>

#include "settings_view/output_window.h"

namespace {

struct ScrollCase {
  int32_t position, maximum;
  int request;
  int32_t track, expected;
};

TEST(OutputWindowTest, ScrollRequestsStayWithinTheRange) {
  const ScrollCase cases[] = {
      {1000, 1000, SB_LINEDOWN, 0, 1000}, {990, 1000, SB_LINEDOWN, 0, 1000}, {500, 1000, SB_LINEDOWN, 0, 520},
      {10, 1000, SB_LINEUP, 0, 0},        {150, 1000, SB_PAGEUP, 0, 0},      {500, 1000, SB_PAGEUP, 0, 300},
      {900, 1000, SB_PAGEDOWN, 0, 1000},  {0, 1000, SB_PAGEDOWN, 0, 200},    {0, 1000, SB_THUMBTRACK, 640, 640},
      {300, 1000, SB_ENDSCROLL, 0, 300},  {300, 1000, SB_THUMBPOSITION, 9, 300}, {300, 1000, SB_TOP, 0, 0},
      {300, 1000, SB_BOTTOM, 0, 1000},
  };
  for (const ScrollCase& c : cases) {
    EXPECT_EQ(NextScrollPosition(c.position, c.maximum, c.request, c.track), c.expected)
        << c.position << " request " << c.request;
  }
}

}  // namespace
