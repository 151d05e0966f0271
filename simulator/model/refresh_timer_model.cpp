#include "simulator/model/refresh_timer_model.h"

#include "simulator/model/number_text.h"

TViewMessage TRefreshTimer::ApplyInterval() {
  int32_t seconds = 0;
  if (!ParseInt32Text(SecondsText, seconds) || seconds > INT32_MAX / 1000) {
    Auto = false;
    return TViewMessage::Conversion(SecondsText);
  }
  IntervalMs = seconds <= 0 ? 0 : seconds * 1000;
  return {};
}
