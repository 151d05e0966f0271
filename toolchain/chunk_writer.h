#pragma once
// Collects text for a file and writes it in large pieces, so outputs of any size
// neither sit whole in memory nor go out in small writes.

#include <cstdio>
#include <string>
#include <string_view>

class TChunkWriter {
 public:
  explicit TChunkWriter(std::FILE* file) : file_(file) { Buffer.reserve(kChunk + 4096); }
  TChunkWriter(const TChunkWriter&) = delete;
  TChunkWriter& operator=(const TChunkWriter&) = delete;

  // Append to Buffer directly, then call Spill; or use Write.
  std::string Buffer;

  void Write(std::string_view bytes) {
    Buffer.append(bytes);
    Spill();
  }
  void Spill() {
    if (Buffer.size() >= kChunk) Flush();
  }
  // False once any write failed.
  bool Flush() {
    if (!Buffer.empty() && std::fwrite(Buffer.data(), 1, Buffer.size(), file_) != Buffer.size()) {
      ok_ = false;
    }
    Buffer.clear();
    return ok_;
  }

 private:
  static constexpr size_t kChunk = 1 << 20;
  std::FILE* file_;
  bool ok_ = true;
};
