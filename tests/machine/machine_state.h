#pragma once
// Whether two machines that ran the same program ended alike in everything a program
// can change: registers, memory, the display fields, every device and the host's
// screen and timer. The clock's fields are compared too, so both machines must read
// one host clock that stands still (standing_clock.h).

#include <cstring>
#include <string>
#include <type_traits>

#include "machine/headless_host.h"
#include "machine/talvo_cpu.h"

namespace machine_state {

template <class T>
void Append(std::string& state, const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  state.append(reinterpret_cast<const char*>(&value), sizeof value);
}

inline void AppendLatch(std::string& state, const TLatch& latch) {
  Append(state, latch.First);
  Append(state, latch.Second);
}

inline void AppendDrive(std::string& state, const TDiskDrive& drive) {
  for (int32_t field : {drive.Status, drive.CommandCode, drive.Track, drive.Sector, drive.Byte}) Append(state, field);
  for (const TLatch* latch : {&drive.PositionLatch, &drive.DataLatch, &drive.CommandLatch}) AppendLatch(state, *latch);
}

// All but the memory, as bytes.
inline std::string MachineState(const TTALVOCPU& cpu, THeadlessHost& host) {
  std::string state;
  Append(state, cpu.Regs);
  Append(state, cpu.SpecialRegs);
  Append(state, cpu.LastOpWord);
  Append(state, cpu.LastOpcode);
  Append(state, cpu.FetchedWords);
  for (const TLatch* latch : {&cpu.VideoPort.DataLatch, &cpu.VideoPort.AddressLatch, &cpu.VideoPort.ControlLatch,
                              &cpu.Keyboard.ControlLatch, &cpu.MouseThings.ControlLatch,
                              &cpu.TimerThings.ControlLatch, &cpu.ComPort.Latch1, &cpu.ComPort.Latch2,
                              &cpu.ComPort.Latch3, &cpu.Lpt.Latch1, &cpu.Lpt.Latch2, &cpu.Lpt.Latch3})
    AppendLatch(state, *latch);
  const TTimerThings& timer = cpu.TimerThings;
  for (uint64_t field : {timer.Second, timer.Minute, timer.Hour, timer.Day, timer.Month, timer.Year})
    Append(state, field);
  Append(state, timer.ClockOffset.count());
  Append(state, cpu.Keyboard.PendingKey.load());
  for (int64_t field : {cpu.MouseThings.Button.load(), cpu.MouseThings.X.load(), cpu.MouseThings.Y.load()})
    Append(state, field);
  AppendDrive(state, cpu.Floppy);
  AppendDrive(state, cpu.HardDisk);
  state.append(reinterpret_cast<const char*>(host.Screen().Pixels().data()), host.Screen().Pixels().size() * 4);
  Append(state, host.DeviceTimerInterval());
  Append(state, host.DeviceTimerEnabled());
  return state;
}

}  // namespace machine_state

inline bool EndedAlike(const TTALVOCPU& a, THeadlessHost& hostA, const TTALVOCPU& b, THeadlessHost& hostB) {
  using machine_state::MachineState;
  return a.MemAllocated == b.MemAllocated && (a.Memory == nullptr) == (b.Memory == nullptr) &&
         (a.Memory == nullptr || std::memcmp(a.Memory, b.Memory, a.MemAllocated) == 0) &&
         MachineState(a, hostA) == MachineState(b, hostB);
}
