#pragma once
// A real full file system for save tests: a 64 KiB tmpfs mounted on a scratch
// folder, in a mount namespace of the test's own thread so that nothing else on
// the machine sees it. Needs root, or the root of a user namespace
// (tests/user_namespace.sh); Ready() is false (and the test skips) wherever the mount
// cannot be made.

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

class TFullDisk {
 public:
  // `flags` for the mount: MS_RDONLY makes it a disk where nothing can be written.
  explicit TFullDisk(std::filesystem::path mountPoint, unsigned long flags = 0) : MountPoint(std::move(mountPoint)) {
    std::filesystem::create_directories(MountPoint);
    // Private first, so the mount cannot spread to the namespace the test came from.
    Ready = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
            ::mount("tmpfs", MountPoint.c_str(), "tmpfs", flags, "size=64k") == 0;
  }
  ~TFullDisk() {
    if (Ready) ::umount2(MountPoint.c_str(), MNT_DETACH);
  }
  TFullDisk(const TFullDisk&) = delete;
  TFullDisk& operator=(const TFullDisk&) = delete;

  // Takes every free byte; true once a write failed for want of space.
  bool Fill() const {
    std::FILE* filler = std::fopen(FillerPath().c_str(), "wb");
    if (filler == nullptr) return false;
    const std::string block(4096, 'x');
    bool full = false;
    while (!full) full = std::fwrite(block.data(), 1, block.size(), filler) != block.size() || std::fflush(filler) != 0;
    const bool noSpace = errno == ENOSPC;
    std::fclose(filler);
    return noSpace;
  }
  void MakeRoom() const { std::filesystem::remove(FillerPath()); }

  const std::filesystem::path MountPoint;
  bool Ready = false;

 private:
  std::string FillerPath() const { return (MountPoint / "filler").string(); }
};
