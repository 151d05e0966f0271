#pragma once
// Writing a file so that it is either complete or not there at all: the bytes go to
// a temporary file in the same folder, which replaces the named file only after every
// byte was written and the file closed cleanly. On any failure the previous file stays
// as it was and the temporary file is removed.

#include <string>
#include <string_view>

class TReplacingFile {
 public:
  // `durable` also forces the bytes to the disk before the rename (for files a user
  // typed: sources, projects); build outputs can be made again and skip it.
  explicit TReplacingFile(const std::string& path, bool durable = false);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  // Append to Buffer directly and call Spill, or use Write; the bytes go out in
  // large pieces.
  std::string Buffer;
  void Write(std::string_view bytes) {
    Buffer.append(bytes);
    Spill();
  }
  void Spill() {
    if (Buffer.size() >= kChunk) Flush();
  }

  // Writes what is left and closes the temporary file, without renaming it yet: a
  // step that replaces several files finishes them all before any takes the place of
  // its old file. False when any step since the constructor failed.
  bool Finish();
  // Finishes (when not done yet) and renames the file into place. False when any
  // step since the constructor failed; Error() then tells why.
  bool Commit();
  // 0, an errno value, or kNotARegularFile when the named path is a folder, FIFO or
  // device that must not be replaced.
  int Error() const { return error_; }

 private:
  static constexpr size_t kChunk = 1 << 20;
  void Flush();
  void Fail(int error);
  void Replace();

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;
  int mode_ = 0666;
  bool durable_;
};

// The whole file in one go; false with the reason in `error`.
bool ReplaceFile(const std::string& path, std::string_view bytes, int* error = nullptr,
                 bool durable = false);
