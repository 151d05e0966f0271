#include "machine/bios_loader.h"

#include <cerrno>

#include "machine/talvo_cpu.h"

TBiosLoader::TBiosLoader(TTALVOCPU& cpu) : cpu_(cpu) {}

TBiosLoader::~TBiosLoader() { Stop(); }

void TBiosLoader::Load(const std::string& path) {
  if (stopped_) return;
  uint64_t load = 0;
  uint64_t limit = 0;
  {
    std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
    load = latest_.load() + 1;
    latest_ = load;
    cpu_.BeginBiosLoad(path);
    limit = cpu_.ImageReadLimit();
  }
  JoinDoneReads();
  std::lock_guard<std::mutex> guard(mutex_);
  result_.reset();
  TRead& read = reads_.emplace_back();
  read.Thread = std::thread([this, load, path, limit, &read] {
    ReadAndTake(load, path, limit);
    read.Done = true;
  });
}

void TBiosLoader::ReadAndTake(uint64_t load, const std::string& path, uint64_t limit) {
  const TReadGoesOn goesOn = [this, load] { return !stopped_.load() && latest_.load() == load; };
  // A newer load waits for the older read to end, which it gives up within one part.
  const TReadTurns::TTurn turn = cpu_.ReadTurns.Take(goesOn);
  if (!turn) return;
  TImageFile image = cpu_.ReadImage(path, limit, goesOn);
  std::lock_guard<TCoreLock> guard(cpu_.CoreLock);
  // Asked under the lock, under which a later load begins. A read given up by a stop
  // has nothing to take in.
  if (latest_.load() != load || image.Error == ECANCELED) return;
  const int32_t result = cpu_.EndBiosLoad(std::move(image));
  std::lock_guard<std::mutex> results(mutex_);
  result_ = result;
}

std::optional<int32_t> TBiosLoader::TakeResult() {
  std::lock_guard<std::mutex> guard(mutex_);
  std::optional<int32_t> result = result_;
  result_.reset();
  return result;
}

void TBiosLoader::JoinDoneReads() {
  std::list<TRead> done;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto read = reads_.begin(); read != reads_.end();) {
      const auto next = std::next(read);
      if (read->Done) done.splice(done.end(), reads_, read);
      read = next;
    }
  }
  for (TRead& read : done) read.Thread.join();
}

void TBiosLoader::Stop() {
  stopped_ = true;
  std::list<TRead> reads;
  {
    // Joined without the lock, which a read takes to tell its result.
    std::lock_guard<std::mutex> guard(mutex_);
    reads.swap(reads_);
  }
  for (TRead& read : reads) read.Thread.join();
}
