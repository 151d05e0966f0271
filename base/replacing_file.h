#pragma once
// Writing a file so that it stays the user's file: at every moment it is either the
// whole previous file or the whole new one, an interrupted write leaves no file that
// was not there before, and the file keeps its owner, group, mode, ACL, extended
// attributes and hard links.
//
// ChooseWriteWay (write_way.h) decides how. Replaced, the bytes go to an unnamed
// temporary file in the file's folder, given everything the old file has, which takes
// a name and the file's place only when every byte reached it; where the file system
// has no unnamed files, to a hidden temporary, removed on failure and (in a program
// that installed the handlers of interrupt_cleanup.h) on interruption. Written in
// place (in_place_write.h), the file has its space reserved first and its old bytes
// put back should a write fail. On any failure the previous file stays as it was, or
// the failure says that it may not be and where its old bytes are kept.

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "base/file_error.h"
#include "base/write_way.h"

class TReplacingFile {
 public:
  // `durable` (for files a user typed: sources, projects, options, saved panes) forces
  // the bytes to the disk before they take the file's place, and the folder after; in
  // place, the old bytes are copied elsewhere first. Build outputs can be made again
  // and skip both.
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
  int Error() const { return failure_.Error; }
  // The error, and what the failure left on the disk.
  const TWriteFailure& Failure() const { return failure_; }

 private:
  static constexpr size_t kChunk = 1 << 20;
  void Flush();
  void Fail(int error);
  TFileFound LookAt(int& target, struct stat& old);
  TNewFile MakeNewFile(bool unnamed, int target, const struct stat* old);
  int OpenUnnamed();
  int OpenNamed();
  void DropNewFile();
  void LinkIn();
  void RenameIn();
  void SyncNewName();

  int folder_ = -1;            // the folder the file is written in
  std::string path_;           // the file's path, links followed
  std::string name_;           // its name in the folder
  std::string temporary_;      // the new file's name there, while it has one
  int interruptSlot_ = -1;     // where that name waits to be removed on interruption
  int fd_ = -1;                // the new file, or the file itself in place
  int old_ = -1;               // a durable file's old self, replaced, while its bytes may be wanted
  TWriteWay way_ = TWriteWay::Unnamed;
  bool replacing_ = false;     // an old file is there to take the place of
  off_t written_ = 0;
  off_t reservedFrom_ = -1;    // in place: the size beyond which space is reserved
  int reservedSlot_ = -1;      // where that space waits to be given back on interruption
  TWriteFailure failure_;
  bool finished_ = false;
  bool durable_;
};

// The whole file in one go; false with the reason in `error`.
bool ReplaceFile(const std::string& path, std::string_view bytes, int* error = nullptr,
                 bool durable = false);
// The same, false with the reason and what the failure left on the disk.
bool ReplaceFile(const std::string& path, std::string_view bytes, TWriteFailure& failure, bool durable);
