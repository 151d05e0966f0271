#pragma once
// The refresh timer of the memory and register windows: an edit of whole seconds
// and an "automatic refresh" box. The timer ticks only when the box is ticked and the
// interval is above zero (an interval of 0 or less stops it).

#include <cstdint>
#include <string>

#include "simulator/model/view_message.h"

class TRefreshTimer {
 public:
  std::string SecondsText = "1";
  bool Auto = true;
  int32_t IntervalMs = 1000;

  bool Running() const { return Auto && IntervalMs > 0; }

  // Takes the seconds edit as the interval. A text that is no whole number (or too
  // large) stops the timer and unticks the box, so that the error is reported once
  // rather than on every tick; the interval stays as it was.
  TViewMessage ApplyInterval();
};
