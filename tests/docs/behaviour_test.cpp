// The reference's statements of what talvorun and the disks do, each a row of a table
// marked "<!-- check: NAME -->" whose first cell names a case this test makes: the
// exit status of talvorun in each case (machine.md), and what the data port of either
// disk holds after a read (devices.md). A row the kit gives otherwise, or a case one
// side lacks, fails.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "reference_runs.h"
#include "reference_tables.h"

namespace {

using TCommand = std::vector<std::string>;

TCommand operator+(TCommand first, const TCommand& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// talvorun with its standard output on a device that takes no byte.
const TCommand kToFullDevice = {"sh", "-c", "\"$@\" >/dev/full", "sh"};
// ... and with a file size limit that lets no byte into a disk image.
const TCommand kNoDiskRoom = {"prlimit", "--fsize=0", "--"};

// Writes a byte to the hard disk and reads one from the floppy, both at position 0.
constexpr char kWriteAndRead[] =
    "LD R1 0H31\n"
    "LD R2 0H30\n"
    "LD R3 0H32\n"
    "LD R4 0H00000000000000040000000000000000\n"
    "LD R5 0H5A\n"
    "OUT R1 R0\n"
    "OUT R2 R5\n"
    "OUT R3 R4\n"
    "LD R6 0H13\n"
    "LD R7 0H14\n"
    "LD R8 0H00000000000000030000000000000000\n"
    "OUT R6 R0\n"
    "OUT R7 R8\n"
    "DIV R0 R0 R0\n";

TEST(ReferenceBehaviour, TalvorunExitsWithTheStatusTheReferenceGives) {
  TScratchFolder scratch;
  std::string image;
  ASSERT_TRUE(BuildImage(scratch, kWriteAndRead, image));
  const std::string fifo = scratch.File("floppy.fifo"), disk = scratch.File("disk.img");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* Case;
    TCommand Command;
  } cases[] = {
      {"运行完毕", {kTalvorun, image}},
      {"命令行有误", {kTalvorun, "--frobnicate", image}},
      {"映像打不开", {kTalvorun, scratch.File("missing.bin")}},
      {"映像是空文件", {kTalvorun, scratch.Write("empty.bin", "")}},
      {"磁盘映像打不开", {kTalvorun, "--disk", scratch.File("no/disk.img"), image}},
      {"主机拒绝写入磁盘映像", kNoDiskRoom + TCommand{kTalvorun, "--disk", disk, image}},
      {"主机拒绝读取磁盘映像", {kTalvorun, "--floppy", fifo, image}},
      {"标准输出写不出去", kToFullDevice + TCommand{kTalvorun, image}},
      {"主机拒绝写入磁盘映像，标准输出也写不出去",
       kToFullDevice + kNoDiskRoom + TCommand{kTalvorun, "--disk", disk, image}},
  };
  TRows kit;
  for (const auto& c : cases) kit.insert(Row({c.Case, std::to_string(RunTool(c.Command).Exit)}));
  ExpectSameRows(kit, ReferenceRows("talvorun-exit", {0, 1}));
}

// What a value of the data port shows as in the table: "H = 0x5A，L = 0".
std::string HalvesText(const std::string& hex32) {
  const auto half = [](const std::string& digits) {
    const uint64_t value = std::stoull(digits, nullptr, 16);
    char text[24];
    std::snprintf(text, sizeof text, value == 0 ? "0" : "0x%" PRIX64, value);
    return std::string(text);
  };
  return "H = " + half(hex32.substr(0, 16)) + "，L = " + half(hex32.substr(16));
}

// What talvorun printed of a register: 32 hexadecimal digits, zero for one left out.
std::string RegisterHex(const std::string& output, const std::string& name) {
  const std::string line = PrintedLine(output, name + " ");
  return line.empty() ? std::string(32, '0') : line.substr(name.size() + 1);
}

// Reads a byte of each disk at the position, the data port seen before the read
// command (R10 floppy, R12 hard disk) and after it (R11, R13); the data port holds a
// value the program wrote first.
std::string ReadProgram(const std::string& position) {
  std::string program = "LD R7 " + position + "\nLD R8 0H00000000000000010000000000000002\n" +
                        "LD R9 0H00000000000000030000000000000000\n";
  const struct {
    const char *Position, *Data, *Command, *Before, *After;
  } drives[] = {{"0H13", "0H12", "0H14", "R10", "R11"}, {"0H31", "0H30", "0H32", "R12", "R13"}};
  for (const auto& d : drives) {
    program += std::string("LD R1 ") + d.Position + "\nLD R2 " + d.Data + "\nLD R3 " + d.Command + "\n";
    program += std::string("OUT R2 R8\nIN R2 ") + d.Before + "\nOUT R1 R7\nOUT R3 R9\nIN R2 " + d.After + "\n";
  }
  return program + "DIV R0 R0 R0\n";
}

TEST(ReferenceBehaviour, ADiskReadGivesWhatTheReferenceSays) {
  enum class Images { None, OneByte, Empty, Fifos };
  const struct {
    const char* Case;
    const char* Position;  // track 2000 is beyond both disks
    Images Given;
  } cases[] = {
      {"没有打开映像", "0", Images::None},
      {"这个位置的字节是 0x5A", "0", Images::OneByte},
      {"位置在映像文件末尾之后", "0", Images::Empty},
      {"位置在磁盘容量之外", "2000", Images::OneByte},
      {"主机拒绝读取", "0", Images::Fifos},
  };
  TRows kit;
  for (const auto& c : cases) {
    TScratchFolder scratch;
    std::string image;
    ASSERT_TRUE(BuildImage(scratch, ReadProgram(c.Position), image));
    TCommand command = {kTalvorun};
    for (const char* drive : {"--floppy", "--disk"}) {
      if (c.Given == Images::None) continue;
      const std::string name = std::string(drive + 2) + ".img", path = scratch.File(name);
      if (c.Given == Images::Fifos) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
      } else {
        scratch.Write(name, c.Given == Images::OneByte ? "\x5A" : "");
      }
      command = command + TCommand{drive, path};
    }
    const TToolOutput ran = RunTool(command + TCommand{image});
    // The floppy's and the hard disk's, which the table gives as one.
    std::string given[2];
    for (int drive = 0; drive < 2; ++drive) {
      const std::string before = RegisterHex(ran.Text, "R" + std::to_string(10 + 2 * drive));
      const std::string after = RegisterHex(ran.Text, "R" + std::to_string(11 + 2 * drive));
      given[drive] = after == before ? "不变" : HalvesText(after);
    }
    const std::string read = given[0] == given[1] ? given[0] : "软盘 " + given[0] + "；硬盘 " + given[1];
    kit.insert(Row({c.Case, read, std::to_string(ran.Exit)}));
  }
  ExpectSameRows(kit, ReferenceRows("disk-reads", {0, 1, 2}));
}

}  // namespace
