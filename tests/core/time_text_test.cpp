#include "folderlist/time_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::DateTimeSeparators;
using platform::LocalDateTime;

struct TimeTextCase {
  LocalDateTime time;
  DateTimeSeparators separators;
  std::string expected;
};

class TimeTextTest : public ::testing::TestWithParam<TimeTextCase> {};

TEST_P(TimeTextTest, FormatsZeroPaddedWithTheSeparators) {
  const auto& c = GetParam();
  EXPECT_EQ(folderlist::formatTimeText(c.time, c.separators), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TimeTextTest,
    ::testing::Values(
        // Japanese settings: a slash and a colon, 19 characters.
        TimeTextCase{{2009, 4, 1, 13, 5, 8}, {"/", ":"}, "2009/04/01 13:05:08"},
        // Every field at its smallest and at its largest two-digit value.
        TimeTextCase{{1980, 1, 1, 0, 0, 0}, {"/", ":"}, "1980/01/01 00:00:00"},
        TimeTextCase{{2107, 12, 31, 23, 59, 58}, {"/", ":"}, "2107/12/31 23:59:58"},
        TimeTextCase{{2024, 10, 10, 10, 10, 10}, {"/", ":"}, "2024/10/10 10:10:10"},
        // Other regional separators stand where "/" and ":" stand.
        TimeTextCase{{2009, 4, 1, 13, 5, 8}, {"-", "."}, "2009-04-01 13.05.08"},
        TimeTextCase{{2009, 4, 1, 13, 5, 8}, {". ", "h"}, "2009. 04. 01 13h05h08"},
        TimeTextCase{{2009, 4, 1, 13, 5, 8}, {"", ""}, "20090401 130508"},
        // Years outside four digits keep all their digits and the padding.
        TimeTextCase{{1601, 1, 1, 0, 0, 0}, {"/", ":"}, "1601/01/01 00:00:00"},
        TimeTextCase{{999, 2, 3, 4, 5, 6}, {"/", ":"}, "0999/02/03 04:05:06"},
        TimeTextCase{{30828, 9, 14, 2, 48, 4}, {"/", ":"}, "30828/09/14 02:48:04"}));

}  // namespace
