#include "simulator/model/refresh_timer_model.h"

#include <gtest/gtest.h>

namespace {

TEST(RefreshTimer, IntervalsAndBadTexts) {
  TRefreshTimer timer;
  EXPECT_TRUE(timer.Running());
  timer.SecondsText = "3";
  EXPECT_FALSE(timer.ApplyInterval());
  EXPECT_EQ(timer.IntervalMs, 3000);
  timer.SecondsText = "0";
  EXPECT_FALSE(timer.ApplyInterval());
  EXPECT_FALSE(timer.Running());
  timer.SecondsText = "-2";
  EXPECT_FALSE(timer.ApplyInterval());
  EXPECT_FALSE(timer.Running());

  // A bad text is reported once: the timer stops instead of failing every tick.
  timer.SecondsText = "2";
  timer.ApplyInterval();
  timer.SecondsText = "two";
  const TViewMessage message = timer.ApplyInterval();
  EXPECT_EQ(message.kind, TViewMessage::Kind::ConversionError);
  EXPECT_FALSE(timer.Running());
  EXPECT_EQ(timer.IntervalMs, 2000);
  timer.SecondsText = "99999999";
  EXPECT_TRUE(timer.ApplyInterval());
}

}  // namespace
