#include "planning/time_of_day.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(TimeOfDay, AcceptsClockTimes) {
  EXPECT_EQ(SecondsOfTimeOfDay("01:40:00"), 6000);
  EXPECT_EQ(SecondsOfTimeOfDay("00:00:00"), 0);
  EXPECT_EQ(SecondsOfTimeOfDay("23:59:59"), 86399);
  EXPECT_EQ(SecondsOfTimeOfDay("1:05"), 3900);       // hours and minutes only
  EXPECT_EQ(SecondsOfTimeOfDay(" 2:03:04 "), 7384);  // one-digit hours, blanks around
}

TEST(TimeOfDay, RejectsWhatIsNoTimeOfDay) {
  for (const char* text : {"24:00:00", "99:59:59", "00:60:00", "00:00:60", "", "01", "01:40:",
                           "01:40:00:00", "1:4x:00", "001:40:00", "-1:40:00", "01 40 00"}) {
    EXPECT_FALSE(SecondsOfTimeOfDay(text)) << text;
  }
}

}  // namespace
}  // namespace ravlo
