#pragma once
// What a reset reads from files: the memory size and the image name from the settings
// file, and the image itself. Read without the core lock, so that a large or slow file
// holds up neither the window nor the run: the core hands out what to read
// (TTALVOCPU::ResetRequest) and takes the result in under the lock
// (TTALVOCPU::Reset(TResetFiles)).

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// A settings file's memory size above this many MB is ignored.
inline constexpr double kMaxMemoryMb = 2047.0;

// A memory size in bytes the core can allocate and address with 32 bits.
bool IsUsableMemorySize(double bytes);

// Bytes from malloc: a read grows them part by part.
struct TFreeBytes {
  void operator()(uint8_t* bytes) const { std::free(bytes); }
};
using TImageBytes = std::unique_ptr<uint8_t, TFreeBytes>;

// The first bytes of an image file, as many as memory can hold.
struct TImageFile {
  TImageBytes Bytes;  // Length + 1 bytes, the last 0
  int32_t Length = 0;
  // 0 when read; else why not (an errno value or kNotARegularFile). EFBIG: the file is
  // too long for a 32-bit length; ENOMEM: no memory for its bytes; ECANCELED: the read
  // was given up.
  int Error = 0;
};

// Asked between two parts of a long read: false gives the read up.
using TReadGoesOn = std::function<bool()>;

// The regular file at path, at most `limit` bytes of it. It is read in parts, asking
// `goesOn` before each, and the bytes are allocated only as the parts come: a read
// given up holds no more than it has read.
TImageFile ReadImageFile(const std::string& path, uint64_t limit, const TReadGoesOn& goesOn = {});

// The turns of the image reads made without the core lock (resets and BIOS loads): one
// at a time, so that a read given up has ended, and what it read is taken in or
// dropped, before the next one allocates.
class TReadTurns {
 public:
  // Held for one read; gives the turn back when it goes.
  class TTurn {
   public:
    explicit TTurn(TReadTurns* turns) : turns_(turns) {}
    TTurn(const TTurn&) = delete;
    TTurn& operator=(const TTurn&) = delete;
    ~TTurn() {
      if (turns_ != nullptr) turns_->Give();
    }
    explicit operator bool() const { return turns_ != nullptr; }

   private:
    TReadTurns* turns_;
  };

  // Waits for the turn while the read is wanted: an empty turn once it is not.
  TTurn Take(const TReadGoesOn& goesOn);
  // The reads waiting for another's turn to end.
  int Waiting() const;

 private:
  void Give();

  mutable std::mutex mutex_;
  std::condition_variable given_;
  bool taken_ = false;
  int waiting_ = 0;
};

// How the core reads an image: ReadImageFile, or a reader that tests hold at will.
using TImageReader = std::function<TImageFile(const std::string& path, uint64_t limit, const TReadGoesOn& goesOn)>;

// What the core holds that decides which files a reset reads.
struct TResetRequest {
  std::string SettingPath;
  std::string BiosPath;  // read when there is no settings file
  double MemSize = 0;    // kept when the settings file gives none
  uint64_t KeptBlock = 0;  // the block a reset keeps when MemSize is out of range
  bool operator==(const TResetRequest&) const = default;
};

struct TResetFiles {
  TResetRequest Request;  // what was read for
  double MemSize = 0;
  std::string BiosPath;
  TImageFile Image;  // nothing read when BiosPath is empty
  bool GivenUp = false;
};

// The bytes of the block a reset for this memory size has: the size itself, or the
// kept block when the size is out of range.
uint64_t ResetBlockBytes(double memSize, uint64_t keptBlock);

// Reads the settings file and the image it names (or the request's image when there is
// no settings file), at most as many bytes of it as the reset's memory holds.
TResetFiles ReadResetFiles(const TResetRequest& request, const TImageReader& readImage, const TReadGoesOn& goesOn = {});
