#include <cerrno>
#include <ctime>

#include "machine/core_host.h"
#include "machine/devices.h"

namespace {

using Clock = std::chrono::system_clock;

constexpr uint64_t ClockWriteUnlocked = 1;
constexpr uint32_t ResetIntervalMs = 1000;

// The device's local date and time at the host's time `now`, to the second.
bool DeviceLocalTime(Clock::time_point now, Clock::duration offset, std::tm& out) {
  const auto device = std::chrono::floor<std::chrono::seconds>(now + offset);
  const std::time_t seconds = static_cast<std::time_t>(device.time_since_epoch().count());
  return localtime_r(&seconds, &out) != nullptr;
}

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The dates a calendar clock accepts; anything else leaves the date as it is.
bool IsValidDate(int64_t year, uint64_t month, uint64_t day) {
  static constexpr uint64_t DaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1) return false;
  const uint64_t days = DaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= days;
}

bool IsValidTime(uint64_t hour, uint64_t minute, uint64_t second) {
  return hour < 24 && minute < 60 && second < 60;
}

}  // namespace

void TTimerThings::Init() {
  Second = Minute = Hour = Day = Month = Year = 0;
  ControlLatch.Clear();
  ClockOffset = Clock::duration{0};
}

int TTimerThings::Reset(CoreHost* host) {
  Second = Minute = Hour = Day = Month = Year = 0;
  ControlLatch.Clear();
  if (host == nullptr) return -1;
  host->SetDeviceTimer(ResetIntervalMs, false);
  return 0;
}

int TTimerThings::Control(Value128 value, CoreHost* host) {
  ControlLatch.StoreHighLow(value);
  if (value == 0) Reset(host);
  if (host == nullptr) return -1;
  const uint32_t interval = static_cast<uint32_t>(High64(value));
  // A timer of interval 0 would fire without pause; it never fires instead.
  const bool enabled = Low64(value) == 1 && interval > 0;
  host->SetDeviceTimer(interval, enabled);
  return 0;
}

int TTimerThings::WriteClock(Value128 value) {
  if (ControlLatch.First != ClockWriteUnlocked) return 0;
  const uint64_t high = High64(value);
  Second = high & 0xFF;
  Minute = (high >> 8) & 0xFF;
  Hour = (high >> 16) & 0xFF;
  Day = (high >> 24) & 0xFF;
  Month = (high >> 32) & 0xFF;
  Year = Low64(value);

  // Date and time are set one after the other, as a calendar clock takes them: an
  // invalid half leaves that half of the clock running as it was.
  const Clock::time_point now = HostClock();
  std::tm local{};
  if (!DeviceLocalTime(now, ClockOffset, local)) return 0;
  const int64_t year = static_cast<int32_t>(static_cast<uint32_t>(Year));
  const bool dateValid = IsValidDate(year, Month, Day);
  const bool timeValid = IsValidTime(Hour, Minute, Second);
  if (!dateValid && !timeValid) return 0;
  if (dateValid) {
    local.tm_year = static_cast<int>(year - 1900);
    local.tm_mon = static_cast<int>(Month - 1);
    local.tm_mday = static_cast<int>(Day);
  }
  if (timeValid) {
    local.tm_hour = static_cast<int>(Hour);
    local.tm_min = static_cast<int>(Minute);
    local.tm_sec = static_cast<int>(Second);
  }
  local.tm_isdst = -1;
  errno = 0;
  const std::time_t written = std::mktime(&local);
  if (written == static_cast<std::time_t>(-1) && errno != 0) return 0;
  ClockOffset = Clock::from_time_t(written) - now;
  return 0;
}

int TTimerThings::ReadClock(Value128& out) {
  std::tm local{};
  if (!DeviceLocalTime(HostClock(), ClockOffset, local)) return -1;
  Second = static_cast<uint64_t>(local.tm_sec);
  Minute = static_cast<uint64_t>(local.tm_min);
  Hour = static_cast<uint64_t>(local.tm_hour);
  Day = static_cast<uint64_t>(local.tm_mday);
  Month = static_cast<uint64_t>(local.tm_mon + 1);
  Year = static_cast<uint64_t>(static_cast<int64_t>(local.tm_year) + 1900);
  out = MakeValue128(Second + (Minute << 8) + (Hour << 16) + (Day << 24) + (Month << 32), Year);
  return 0;
}

int TTimerThings::ReadStatus(Value128& out, CoreHost* host) {
  if (host == nullptr) return -1;
  ControlLatch.First = host->DeviceTimerInterval();
  ControlLatch.Second = host->DeviceTimerEnabled() ? 1 : 0;
  out = ControlLatch.Value();
  return 0;
}
