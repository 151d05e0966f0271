#pragma once
// Loads a BIOS image into the core without making the caller wait on the file: each
// load reads on a thread of its own, without the core lock, and takes the image in
// under the lock (TTALVOCPU::BeginBiosLoad, EndBiosLoad). The latest load wins: a load
// begun before it is given up, and what that one read is never taken in, however late
// its read ends. The reads take turns with each other and with the resets
// (TTALVOCPU::ReadTurns): a newer load reads once the older read has ended, and a load
// given up before its turn reads nothing.
//
// Called from one thread (the UI thread), without the core lock.

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class TTALVOCPU;

class TBiosLoader {
 public:
  explicit TBiosLoader(TTALVOCPU& cpu);
  // Stop.
  ~TBiosLoader();
  TBiosLoader(const TBiosLoader&) = delete;
  TBiosLoader& operator=(const TBiosLoader&) = delete;

  // Begins loading the image at path, read as far as the next reset's memory holds it,
  // and returns at once.
  void Load(const std::string& path);
  // LoadBiosImage's result for the latest load once it has ended, the first time it is
  // asked for; nothing before, and nothing again.
  std::optional<int32_t> TakeResult();
  // Gives every read up and waits for its thread; no load begins after.
  void Stop();

 private:
  struct TRead {
    std::thread Thread;
    std::atomic<bool> Done{false};
  };
  void ReadAndTake(uint64_t load, const std::string& path, uint64_t limit);
  // Joins the threads whose read is over.
  void JoinDoneReads();

  TTALVOCPU& cpu_;
  // The number of the latest load; changed under the core lock.
  std::atomic<uint64_t> latest_{0};
  std::atomic<bool> stopped_{false};
  std::mutex mutex_;  // guards reads_ and result_
  std::list<TRead> reads_;
  std::optional<int32_t> result_;
};
