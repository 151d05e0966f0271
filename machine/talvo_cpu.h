#pragma once
// The simulated TALVO128 computer: memory, 256 general and 10 special 128-bit
// registers, the BIOS image copied in at every reset, the port table and the devices.
//
// Registers are native 128-bit values; RegBits appears only where the register
// editors and the test dialog hand values in. Every operation returns true when done
// and false when it failed with nothing changed (no register, no byte of memory, no
// IP move). No operation reads or writes outside the memory block allocated by the
// last reset.
//
// Threads: one core lock, CoreLock, guards the whole record and its devices. The core
// thread holds it for a block of steps; every other thread takes it around any call
// here (single step, reset, editors, views, device events, the test dialog). Nothing
// in this class takes the lock itself, except where a comment says so.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "isa/special_registers.h"
#include "machine/core_host.h"
#include "machine/core_kernels.h"
#include "machine/devices.h"
#include "machine/disks.h"
#include "machine/port_table.h"
#include "machine/reset_files.h"
#include "machine/value128.h"

class RegBits;

// A mutex that also tells its holder when someone else waits for it, so that the core
// thread, between two blocks of steps, lets a waiting UI action in first. Works with
// std::lock_guard and std::unique_lock.
class TCoreLock {
 public:
  void lock() {
    waiting_.fetch_add(1, std::memory_order_relaxed);
    mutex_.lock();
    waiting_.fetch_sub(1, std::memory_order_relaxed);
  }
  bool try_lock() { return mutex_.try_lock(); }
  void unlock() { mutex_.unlock(); }
  // True while another thread is blocked in lock().
  bool Waiting() const { return waiting_.load(std::memory_order_relaxed) > 0; }

 private:
  std::mutex mutex_;
  std::atomic<int32_t> waiting_{0};
};

class TTALVOCPU {
 public:
  // Special register numbers as programs use them: TTALVOCPU::IP and so on.
  using enum isa::SpecialRegister;
  // Where each special register number (BS BO DS DO IS IP PSW ICW SS SP) is stored.
  static constexpr int SpecialSlot[isa::kSpecialRegisterCount] = {5, 4, 2, 3, 6, 7, 9, 8, 0, 1};
  // Returned by RaiseHardwareInterrupt when interrupts are disabled.
  static constexpr int32_t InterruptsDisabled = -5;
  // A settings file's memory size above this many MB is ignored.
  static constexpr double MaxMemoryMb = kMaxMemoryMb;

  // A machine whose every reset, the first one in here included, reads the settings
  // file "<program>.setting" in the current folder.
  TTALVOCPU();
  // The same with the settings file at settingPath; empty reads none, so that a machine
  // run headless depends on no folder.
  explicit TTALVOCPU(std::string settingPath);
  ~TTALVOCPU();
  TTALVOCPU(const TTALVOCPU&) = delete;
  TTALVOCPU& operator=(const TTALVOCPU&) = delete;

  // (MemAllocated + 1) bytes from the last reset; null before the first.
  uint8_t* Memory = nullptr;
  // The size the next reset allocates, in bytes; the main window may change it.
  double MemSize = 4194304.0;
  // Bytes usable at Memory: addresses 0 .. MemAllocated - 1. Every bounds check uses
  // this, never MemSize, which may have changed since the reset.
  uint64_t MemAllocated = 0;
  Value128 Regs[256] = {};
  // The image's first bytes, as many as the memory of the next reset holds.
  uint8_t* BiosImage = nullptr;
  int32_t BiosLen = 0;
  // Stored in slot order SS, SP, DS, DO, BO, BS, IS, IP, ICW, PSW; see SpecialSlot.
  Value128 SpecialRegs[isa::kSpecialRegisterCount] = {};
  std::string BiosPath;
  TPortTable PortTable = {};
  TVideoPort VideoPort;
  TKeyboard Keyboard;
  TMouseThings MouseThings;
  TTimerThings TimerThings;
  TFloppy Floppy;
  THardDisk HardDisk;
  TComPort ComPort;
  TLpt Lpt;
  // 1: the window shows every instruction word in status panel 2 and its opcode in
  // panel 1 (taken from the three fields below at its periodic update). 0: the
  // instruction timer samples LastOpText every 500 ms.
  uint8_t OpShowDirect = 0;
  // The last fetched instruction word.
  uint32_t LastOpWord = 0;
  // The opcode of the last instruction that reached its operation; -1 before any.
  int32_t LastOpcode = -1;
  // Instruction words fetched so far: the window shows the display fields again
  // whenever this has moved.
  uint64_t FetchedWords = 0;

  // The main window the core draws on and times with; null runs headless.
  CoreHost* Host = nullptr;
  // The settings file every reset reads, the one the machine was built with unless
  // pointed elsewhere; empty: none.
  std::string SettingPath;
  TCoreLock CoreLock;

  // Why the last reset holds no image: 0 when it read one or none was named, else the
  // reason the named file could not be read (an errno value or kNotARegularFile).
  int32_t ResetImageError = 0;
  // Reads every image the core takes in (resets and BIOS loads), without the lock where
  // the caller reads so. Tests put in a reader that holds a read; set it before any
  // thread uses the core.
  TImageReader ReadImage = ReadImageFile;
  // Every read made without the lock takes its turn here (resets and BIOS loads), so
  // that at most one image is in the making beside the one held.
  TReadTurns ReadTurns;

  // --- Record, reset, BIOS and settings ---
  // Reads the settings file and the image (ReadResetFiles), zeroes every register,
  // allocates memory anew and copies the BIOS to address 0. If the new block cannot be
  // allocated the old one stays. With the core shared, call it with the lock held, or
  // ResetReadingUnlocked without it.
  void Reset();
  // The same with files read for it without the lock. False, with nothing changed, when
  // the core no longer holds what they were read for (the setup changed meanwhile):
  // they must be read again.
  bool Reset(TResetFiles files);
  // What a reset reads now; with the lock held.
  TResetRequest ResetRequest() const;
  // A reset that takes the core lock only to see what to read and to take the files in,
  // never while they are read: call it WITHOUT the lock. The read waits its turn
  // (ReadTurns). `thenLocked` runs under the lock just after the reset. False, with
  // nothing changed, when `goesOn` gave the read up.
  bool ResetReadingUnlocked(const TReadGoesOn& goesOn, const std::function<void()>& thenLocked);
  // 0 loaded, -1 the file cannot be opened or read (nothing changes), -2 no memory for
  // it or too long a file (the core then holds no image). Reads at most as many bytes
  // as the memory of the next reset holds.
  int32_t LoadBiosImage(const std::string& path);
  // LoadBiosImage with the file read beforehand (ReadImageFile, ImageReadLimit), so
  // that the read need not hold the lock.
  int32_t TakeBiosImage(const std::string& path, TImageFile image);
  // The bytes of an image the next reset can copy into memory.
  uint64_t ImageReadLimit() const;
  // A BIOS load read without the lock (TBiosLoader) begins, with the lock held: until
  // it ends, a reset reads `path` where it would read BiosPath, as it would once the
  // load is done.
  void BeginBiosLoad(const std::string& path);
  // Ends the load begun last with the image read for it, with the lock held:
  // LoadBiosImage's result. A reset that came after the load began has read the image
  // itself and keeps what it took in; the result is then only told.
  int32_t EndBiosLoad(TImageFile image);
  // True when the last reset could have a block of MemSize bytes (a reset that cannot
  // keeps the block it had).
  bool HasWantedMemory() const;
  // True when the last reset gave the machine what it was asked for: the wanted memory
  // and an image of at least one byte. Only then may a run begin.
  bool ReadyToRun() const;
  // Takes a copy of the port table (the main window's, or the defaults).
  void LoadPortTable(const TPortTable& table);
  // The register itself, or null for a number outside 0..255 (general) or 0..9
  // (special, by number as programs use it).
  Value128* GetRegBits(int32_t n);
  const Value128* GetRegBits(int32_t n) const;
  Value128* GetSpecialRegBits(int32_t n);
  const Value128* GetSpecialRegBits(int32_t n) const;
  // The 8 bytes at a as a little-endian word; false (nothing read or written) when
  // they do not lie wholly in memory.
  bool MemReadUInt64(int64_t a, uint64_t& out) const;
  bool MemWriteUInt64(int64_t a, uint64_t value);
  // Binary digits of general register n without leading zeros; "0" for zero and for
  // a number outside 0..255.
  std::string RegToBinText(int32_t n) const;
  // LastOpWord as 8 upper-case hex digits.
  std::string LastOpText() const;
  // LastOpcode as 2 upper-case hex digits; empty before any.
  std::string LastOpcodeText() const;

  // --- Step, run and dispatch ---
  // Delivers a pending device interrupt if one may be taken, then runs one
  // instruction. False when the instruction failed; nothing has changed then.
  bool Step();
  struct TRunResult {
    uint64_t Steps = 0;   // instructions that completed
    bool Failed = false;  // the one after them failed
  };
  // Up to maxSteps instructions, stopping at the first that fails: exactly the state
  // (registers, memory, devices, display fields) that as many Step() calls leave,
  // at native interpreter speed. The common instructions run inline; the others
  // (devices, SET, INT, IRET, FUNC, device interrupts) go through the operations, and
  // after maxOperationSteps of those the run ends early, so that a caller can bound
  // how long a run of device instructions takes.
  TRunResult Run(uint64_t maxSteps, uint64_t maxOperationSteps = UINT64_MAX);
  // The operation of the opcode; with show = 1 an operation reached is recorded in
  // LastOpcode for the window.
  bool ExecuteInstruction(uint8_t opcode, uint8_t a, uint8_t b, uint8_t c, uint8_t show);
  // Bits 31..0 of IP: the fetch address.
  uint32_t GetProgramCounter() const { return static_cast<uint32_t>(SpecialRegs[SpecialSlot[IP]]); }
  // IP += n modulo 2^128; IS is not changed.
  bool AdvanceIP(int64_t n);

  // --- Data, arithmetic and logic (argument order as the instruction's operations) ---
  bool OpNop();
  bool OpCopy(int32_t d, int32_t s);
  bool OpCopyMemMem(int32_t d, int32_t x, int32_t s);
  bool OpCopyMemReg(int32_t d, int32_t x, int32_t s);
  bool OpCopyRegMem(int32_t x, int32_t a, int32_t s);
  bool OpGetSpecial(int32_t d, int32_t n);
  bool OpSetSpecial(int32_t n, int32_t s);
  bool OpAdd(int32_t x, int32_t y, int32_t d);
  bool OpSub(int32_t d, int32_t x, int32_t y);
  // d + 1 receives the high half (MUL) or the remainder (DIV): d = 255 fails, and
  // so does a division by zero.
  bool OpMul(int32_t d, int32_t x, int32_t y);
  bool OpDiv(int32_t d, int32_t x, int32_t y);
  bool OpSetF(int32_t d);
  bool OpZero(int32_t d);
  bool OpInc(int32_t d, int32_t s);
  bool OpDec(int32_t d, int32_t s);
  bool OpAnd(int32_t d, int32_t x, int32_t y);
  bool OpOr(int32_t d, int32_t x, int32_t y);
  bool OpXor(int32_t d, int32_t x, int32_t y);
  bool OpNot(int32_t d, int32_t s);
  bool OpLL(int32_t d, int32_t s, int32_t c);
  bool OpRR(int32_t d, int32_t s, int32_t c);
  // R[d] = value; IP += 20. False for a null value.
  bool OpLoadImm(int32_t d, const RegBits* value);

  // --- Control flow, stack, interrupts ---
  bool OpCmp(int32_t x, int32_t y);
  bool OpJmp(int32_t s, int32_t o);
  bool OpJQ(int32_t s, int32_t o);
  bool OpJNQ(int32_t s, int32_t o);
  bool OpJL(int32_t s, int32_t o);
  bool OpJG(int32_t s, int32_t o);
  bool OpCall(int32_t s, int32_t o);
  bool OpRet();
  bool OpInt(int32_t r);
  bool OpIRet();
  // Calls IP +/- the sign-magnitude offset; false for a null value.
  bool OpFunc(const RegBits* value);
  bool OpPush(int32_t r);
  bool OpPop(int32_t r);
  // Records device interrupt n (0..255) for delivery before the next instruction the
  // stepping thread runs: PSW, IP, IS are pushed and execution enters at n x 256.
  // 0 recorded (or n outside 0..255: nothing), InterruptsDisabled when ICW bit 121 is
  // clear. Call with the core lock held.
  int32_t RaiseHardwareInterrupt(int32_t n);

  // --- Ports and DMA ---
  bool OpOut(int32_t p, int32_t v);
  bool OpIn(int32_t p, int32_t d);
  bool OpDMA(int32_t d, int32_t s, int32_t c);

  // --- Views (machine/cpu_views.cpp); the caller holds the core lock ---
  std::string MemToHexText(int64_t a) const;
  std::string MemLineText(int64_t a) const;
  std::string MemDumpText(int64_t s, int64_t n) const;
  std::string MemToDecText(int64_t a) const;
  std::string RegToHexText(int32_t n) const;
  std::string RegistersDumpText() const;
  std::string SpecialRegToHexText(int32_t n) const;
  static const char* SpecialRegName(int32_t n);
  std::string SpecialRegistersDumpText() const;
  // Open a new window on this core through Host: 0, or -1 when none opened.
  int32_t ShowMemoryView();
  int32_t ShowCommonRegisters();
  int32_t ShowSpecialRegisters();
  int32_t ShowRegOpDialog();

 private:
  Value128& Special(int32_t number) { return SpecialRegs[SpecialSlot[number]]; }
  const Value128& Special(int32_t number) const { return SpecialRegs[SpecialSlot[number]]; }
  // The block of the last reset, for the operations' bounds checks.
  core_kernels::TMemory MemoryBlock() const { return {Memory, Memory != nullptr ? MemAllocated : 0}; }
  bool InMemory(uint64_t address, uint64_t len) const { return MemoryBlock().Holds(address, len); }
  // The block a reset keeps when the size asked for is out of range.
  uint64_t KeptBlockBytes() const;
  // Takes the settings' memory size and image from files read for a reset. An image
  // that could not be read is dropped (see ResetImageError): no run may use bytes that
  // are no longer the file's; its name stays, so the next reset tries it again.
  void TakeResetFiles(TResetFiles& files);
  void DropBiosImage();
  bool LoadImmediate(uint8_t d, Value128 value);
  bool CallFunc(Value128 offset);
  // Pushes count values in order, or none when they do not all fit in memory.
  bool PushValues(const Value128* values, int count);
  // Pops count values in order, or none when any pop would fail.
  bool PopValues(Value128* values, int count);
  bool ConditionalJump(uint8_t opcode, int32_t s, int32_t o);
  bool DeliverPendingInterrupt();
  bool InterruptDeliverable() const;
  // Run's loop over instructions with no device interrupt to deliver. It stops early
  // after an instruction it does not run inline when an interrupt may have become
  // due or operationSteps such instructions have run (counting them down).
  TRunResult RunInline(uint64_t maxSteps, uint64_t& operationSteps);

  // Device interrupts waiting for the stepping thread: one bit per number.
  std::atomic<uint64_t> pendingInterrupts_[4] = {};
  std::atomic<bool> anyInterruptPending_{false};
  // The image a BIOS load is reading, until the load ends or a reset reads it.
  std::optional<std::string> loadingBiosPath_;
};
