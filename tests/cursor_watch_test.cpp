#include "show/cursor_watch.h"

#include <gtest/gtest.h>

#include <deque>

namespace ruzir {
namespace {

TEST(CursorWatch, EndsTheShowOnlyWhenTheCursorLeftItsRecordedPlace) {
  struct Event {
    std::vector<ScreenPoint> readings;  // what the cursor reads give, in order
    bool ends;
  };
  struct Case {
    const char* name;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"first message records, resting cursor goes on", {{{{500, 300}, {500, 300}}, false}}},
      {"moved between the two readings", {{{{500, 300}, {501, 300}}, true}}},
      {"one pixel in x", {{{{500, 300}, {500, 300}}, false}, {{{501, 300}}, true}}},
      {"one pixel in y", {{{{500, 300}, {500, 300}}, false}, {{{500, 299}}, true}}},
      {"back where it was", {{{{500, 300}, {500, 300}}, false}, {{{500, 300}}, false}}},
      {"leftmost column records anew on every message",
       {{{{0, 300}, {0, 300}}, false},
        {{{0, 310}, {0, 310}}, false},
        {{{1, 310}, {1, 310}}, false},  // left the column: recorded, not yet ended
        {{{2, 310}}, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CursorWatch watch;
    for (const auto& event : c.events) {
      std::deque<ScreenPoint> readings(event.readings.begin(), event.readings.end());
      const bool ends = watch.HasMoved([&] {
        EXPECT_FALSE(readings.empty()) << "read more often than expected";
        if (readings.empty()) return ScreenPoint{};
        const ScreenPoint p = readings.front();
        readings.pop_front();
        return p;
      });
      EXPECT_EQ(ends, event.ends);
      EXPECT_TRUE(readings.empty()) << "read less often than expected";
    }
  }
}

}  // namespace
}  // namespace ruzir
