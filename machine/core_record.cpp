// Construction, reset, BIOS loading, the settings file and register access of the core.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "machine/digit_strings.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"

namespace {

// The settings file keeps a BIOS path of at most this many bytes.
constexpr size_t kMaxBiosPathBytes = 999;

// A memory size the core can allocate and address with 32 bits.
bool IsUsableMemorySize(double bytes) {
  return std::isfinite(bytes) && bytes >= 0.0 && bytes <= TTALVOCPU::MaxMemoryMb * 1024.0 * 1024.0;
}

}  // namespace

TTALVOCPU::TTALVOCPU() : SettingPath(DefaultSettingPath()) {
  VideoPort.Init();
  Keyboard.Init();
  MouseThings.Init();
  TimerThings.Init();
  ComPort.Init();
  Lpt.Init();
  Reset();
}

TTALVOCPU::~TTALVOCPU() {
  delete[] BiosImage;
  delete[] Memory;
}

void TTALVOCPU::Reset() {
  ReadSettingFile();
  std::memset(SpecialRegs, 0, sizeof SpecialRegs);
  std::memset(Regs, 0, sizeof Regs);
  for (auto& word : pendingInterrupts_) word.store(0, std::memory_order_relaxed);
  anyInterruptPending_.store(false, std::memory_order_relaxed);

  // A size the main window set out of range keeps the block as it is; a block that
  // cannot be had keeps the old one, so the machine always has memory after a reset.
  if (IsUsableMemorySize(MemSize) || Memory == nullptr) {
    const uint64_t wanted = IsUsableMemorySize(MemSize) ? static_cast<uint64_t>(MemSize) : 4194304;
    // A block of the same size is cleared where it is.
    uint8_t* block = Memory != nullptr && wanted == MemAllocated ? Memory : new (std::nothrow) uint8_t[wanted + 1];
    if (block != nullptr && block != Memory) {
      delete[] Memory;
      Memory = block;
      MemAllocated = wanted;
    }
  }
  if (Memory == nullptr) return;
  std::memset(Memory, 0, MemAllocated + 1);
  if (BiosImage != nullptr && BiosLen > 0)
    std::memcpy(Memory, BiosImage, std::min<uint64_t>(static_cast<uint64_t>(BiosLen), MemAllocated));
}

int32_t TTALVOCPU::LoadBiosImage(const std::string& path) {
  int error = 0;
  return ReadBiosImage(path, error);
}

int32_t TTALVOCPU::ReadBiosImage(const std::string& path, int& error) {
  // Only a regular file: a FIFO would block the open, and a folder has no bytes to
  // load; neither may cost the image already loaded.
  TFilePtr opened = OpenRegularFile(path, &error);
  if (!opened) return -1;
  std::FILE* file = opened.get();
  long length = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
  std::rewind(file);

  delete[] BiosImage;
  BiosImage = nullptr;
  BiosLen = 0;
  // An image that no 32-bit length can count is refused like one there is no memory for.
  uint8_t* image = length >= 0 && length < INT32_MAX ? new (std::nothrow) uint8_t[length + 1] : nullptr;
  if (image == nullptr) {
    error = ENOMEM;
    return -2;
  }
  std::memset(image, 0, static_cast<size_t>(length) + 1);
  // A file that shrinks while read leaves zeros at its end.
  (void)!std::fread(image, 1, static_cast<size_t>(length), file);
  BiosImage = image;
  BiosLen = static_cast<int32_t>(length);
  BiosPath = path;
  return 0;
}

void TTALVOCPU::ReadSettingFile() {
  TSettingItems items;
  std::string path = BiosPath;
  if (ReadSettingItems(SettingPath, items) == 1) {
    double megabytes = 0;
    if (ParseSettingNumber(items.Items[SettingMemSize], megabytes) && megabytes > 0 && megabytes <= MaxMemoryMb)
      MemSize = megabytes * 1024.0 * 1024.0;
    std::string& bios = items.Items[SettingBiosFile];
    if (bios.size() > kMaxBiosPathBytes) bios.resize(kMaxBiosPathBytes);
    path = StoredNameToPath(bios);
  }
  ReloadBiosImage(path);
}

void TTALVOCPU::ReloadBiosImage(const std::string& path) {
  ResetImageError = 0;
  if (!path.empty() && ReadBiosImage(path, ResetImageError) == 0) return;
  // The name stays, so that the next reset tries the same file again.
  delete[] BiosImage;
  BiosImage = nullptr;
  BiosLen = 0;
  BiosPath = path;
}

bool TTALVOCPU::HasWantedMemory() const {
  // The block has the wanted size cut to whole bytes (a settings file may give 1.44 MB).
  return Memory != nullptr && IsUsableMemorySize(MemSize) && MemAllocated == static_cast<uint64_t>(MemSize);
}

bool TTALVOCPU::ReadyToRun() const { return HasWantedMemory() && BiosImage != nullptr && BiosLen > 0; }

void TTALVOCPU::LoadPortTable(const TPortTable& table) { PortTable = table; }

Value128* TTALVOCPU::GetRegBits(int32_t n) { return n >= 0 && n < 256 ? &Regs[n] : nullptr; }
const Value128* TTALVOCPU::GetRegBits(int32_t n) const { return n >= 0 && n < 256 ? &Regs[n] : nullptr; }
Value128* TTALVOCPU::GetSpecialRegBits(int32_t n) { return n >= 0 && n < isa::kSpecialRegisterCount ? &Special(n) : nullptr; }
const Value128* TTALVOCPU::GetSpecialRegBits(int32_t n) const {
  return n >= 0 && n < isa::kSpecialRegisterCount ? &Special(n) : nullptr;
}

bool TTALVOCPU::MemReadUInt64(int64_t a, uint64_t& out) const {
  if (a < 0 || !InMemory(static_cast<uint64_t>(a), 8)) return false;
  out = 0;
  for (int i = 7; i >= 0; --i) out = out << 8 | Memory[a + i];
  return true;
}

bool TTALVOCPU::MemWriteUInt64(int64_t a, uint64_t value) {
  if (a < 0 || !InMemory(static_cast<uint64_t>(a), 8)) return false;
  for (int i = 0; i < 8; ++i) Memory[a + i] = static_cast<uint8_t>(value >> (8 * i));
  return true;
}

std::string TTALVOCPU::RegToBinText(int32_t n) const {
  const Value128* reg = GetRegBits(n);
  return reg != nullptr ? Value128ToBinStr(*reg) : "0";
}

std::string TTALVOCPU::LastOpText() const {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", LastOpWord);
  return text;
}

std::string TTALVOCPU::LastOpcodeText() const {
  if (LastOpcode < 0) return {};
  char text[3];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(LastOpcode & 0xFF));
  return text;
}
