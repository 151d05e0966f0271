// Construction, reset, BIOS loading, the settings file and register access of the core.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "machine/digit_strings.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"

namespace {

// The memory a reset allocates when it has none and the size asked for is out of range.
constexpr uint64_t kFallbackBlockBytes = 4194304;

// LoadBiosImage's result for an image read with this error.
int32_t BiosLoadResult(int error) {
  if (error == 0) return 0;
  return error == ENOMEM || error == EFBIG ? -2 : -1;
}

}  // namespace

TTALVOCPU::TTALVOCPU() : TTALVOCPU(DefaultSettingPath()) {}

TTALVOCPU::TTALVOCPU(std::string settingPath) : SettingPath(std::move(settingPath)) {
  VideoPort.Init();
  Keyboard.Init();
  MouseThings.Init();
  TimerThings.Init();
  ComPort.Init();
  Lpt.Init();
  Reset();
}

TTALVOCPU::~TTALVOCPU() {
  std::free(BiosImage);
  delete[] Memory;
}

void TTALVOCPU::Reset() { Reset(ReadResetFiles(ResetRequest(), ReadImage)); }

TResetRequest TTALVOCPU::ResetRequest() const {
  return {SettingPath, loadingBiosPath_.value_or(BiosPath), MemSize, KeptBlockBytes()};
}

uint64_t TTALVOCPU::KeptBlockBytes() const { return Memory != nullptr ? MemAllocated : kFallbackBlockBytes; }

bool TTALVOCPU::ResetReadingUnlocked(const TReadGoesOn& goesOn, const std::function<void()>& thenLocked) {
  for (;;) {
    // What to read is seen once the turn is had: a BIOS load before may change it.
    const TReadTurns::TTurn turn = ReadTurns.Take(goesOn);
    if (!turn) return false;
    TResetRequest request;
    {
      std::lock_guard<TCoreLock> guard(CoreLock);
      request = ResetRequest();
    }
    TResetFiles files = ReadResetFiles(request, ReadImage, goesOn);
    if (files.GivenUp) return false;
    std::lock_guard<TCoreLock> guard(CoreLock);
    if (Reset(std::move(files))) {
      if (thenLocked) thenLocked();
      return true;
    }
  }
}

bool TTALVOCPU::Reset(TResetFiles files) {
  if (!(files.Request == ResetRequest())) return false;
  // Read here, the image of a load under way leaves the load nothing to take in.
  loadingBiosPath_.reset();
  TakeResetFiles(files);
  std::memset(SpecialRegs, 0, sizeof SpecialRegs);
  std::memset(Regs, 0, sizeof Regs);
  for (auto& word : pendingInterrupts_) word.store(0, std::memory_order_relaxed);
  anyInterruptPending_.store(false, std::memory_order_relaxed);

  // A size the main window set out of range keeps the block as it is; a block that
  // cannot be had keeps the old one, so the machine always has memory after a reset.
  if (IsUsableMemorySize(MemSize) || Memory == nullptr) {
    const uint64_t wanted = ResetBlockBytes(MemSize, kFallbackBlockBytes);
    // A block of the same size is cleared where it is.
    uint8_t* block = Memory != nullptr && wanted == MemAllocated ? Memory : new (std::nothrow) uint8_t[wanted + 1];
    if (block != nullptr && block != Memory) {
      delete[] Memory;
      Memory = block;
      MemAllocated = wanted;
    }
  }
  if (Memory == nullptr) return true;
  std::memset(Memory, 0, MemAllocated + 1);
  if (BiosImage != nullptr && BiosLen > 0)
    std::memcpy(Memory, BiosImage, std::min<uint64_t>(static_cast<uint64_t>(BiosLen), MemAllocated));
  return true;
}

void TTALVOCPU::TakeResetFiles(TResetFiles& files) {
  MemSize = files.MemSize;
  ResetImageError = files.Image.Error;
  if (files.BiosPath.empty() || files.Image.Error != 0) {
    DropBiosImage();
    BiosPath = files.BiosPath;
    return;
  }
  TakeBiosImage(files.BiosPath, std::move(files.Image));
}

uint64_t TTALVOCPU::ImageReadLimit() const { return ResetBlockBytes(MemSize, KeptBlockBytes()); }

int32_t TTALVOCPU::LoadBiosImage(const std::string& path) { return TakeBiosImage(path, ReadImage(path, ImageReadLimit(), {})); }

void TTALVOCPU::BeginBiosLoad(const std::string& path) { loadingBiosPath_ = path; }

int32_t TTALVOCPU::EndBiosLoad(TImageFile image) {
  if (!loadingBiosPath_) return BiosLoadResult(image.Error);
  const std::string path = std::move(*loadingBiosPath_);
  loadingBiosPath_.reset();
  return TakeBiosImage(path, std::move(image));
}

int32_t TTALVOCPU::TakeBiosImage(const std::string& path, TImageFile image) {
  const int32_t result = BiosLoadResult(image.Error);
  // A file that cannot be opened or read costs nothing of the image already loaded.
  if (result == -1) return -1;
  DropBiosImage();
  if (result != 0) return result;
  BiosImage = image.Bytes.release();
  BiosLen = image.Length;
  BiosPath = path;
  return 0;
}

void TTALVOCPU::DropBiosImage() {
  std::free(BiosImage);
  BiosImage = nullptr;
  BiosLen = 0;
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
