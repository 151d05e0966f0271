#pragma once
// Writing a file so that at every moment it is either the whole previous file or the
// whole new one, and an interrupted write leaves no file that was not there before.
//
// The file's own protection decides, as an in-place write would: a file the user may
// not write is refused (EACCES) whatever its folder allows. The bytes go to an unnamed
// temporary file in the file's folder, which takes a name and the file's place only
// when every byte reached it; where the file system has no unnamed files, to a hidden
// temporary, removed on failure and (in a program that installed the handlers of
// interrupt_cleanup.h) on interruption. Where the folder takes no temporary file at
// all, or keeps others than the owners from replacing the file (the sticky bit of
// /tmp), a file the user may write is written in place, with its space reserved first
// and its old bytes put back should a write fail. On any failure the previous file
// stays as it was.

#include <sys/types.h>

#include <string>
#include <string_view>

class TReplacingFile {
 public:
  // `durable` also forces the bytes to the disk before they take the file's place (for
  // files a user typed: sources, projects); build outputs can be made again and skip it.
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

  // Writes what is left (or, in place, reserves its space), without taking the file's
  // place yet: a step that replaces several files finishes them all before any takes
  // the place of its old file. False when any step since the constructor failed.
  bool Finish();
  // Finishes (when not done yet) and puts the new file in place. False when any step
  // since the constructor failed; Error() then tells why.
  bool Commit();
  // 0, an errno value, or kNotARegularFile when the named path is a folder, FIFO or
  // device that must not be replaced.
  int Error() const { return error_; }

 private:
  enum class TWay { Unnamed, Named, InPlace };
  static constexpr size_t kChunk = 1 << 20;
  void Flush();
  void Fail(int error);
  int OpenTarget();
  void OpenTemporary(int target);
  template <class Create>
  int CreateUnderFreshName(Create&& create);
  void LinkIn();
  void RenameIn();

  int folder_ = -1;            // the folder the file is written in
  std::string name_;           // the file's name there, links followed
  std::string temporary_;      // the temporary file's name there, while it has one
  int interruptSlot_ = -1;     // where that name waits to be removed on interruption
  int fd_ = -1;                // the temporary file, or the file itself in place
  TWay way_ = TWay::Unnamed;
  int mode_ = -1;              // the replaced file's mode, kept; -1 for a new file
  bool replaceable_ = true;    // whether the folder lets this user replace the file
  off_t written_ = 0;
  int error_ = 0;
  bool finished_ = false;
  bool durable_;
};

// The whole file in one go; false with the reason in `error`.
bool ReplaceFile(const std::string& path, std::string_view bytes, int* error = nullptr,
                 bool durable = false);
