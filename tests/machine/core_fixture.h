#pragma once
// A core with a small memory and no settings file, and helpers to lay instruction
// words and values into its memory and registers.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "machine/talvo_cpu.h"
#include "program_words.h"
#include "recording_host.h"

class CoreTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kMemBytes = 4096;

  CoreTest() {
    cpu.SettingPath = "/nonexistent-folder/core_test.setting";
    cpu.MemSize = kMemBytes;
    cpu.Host = &host;
    cpu.Reset();
  }

  // Stores instruction words from address on, little-endian.
  void Put(uint32_t address, std::initializer_list<uint32_t> words) {
    for (uint32_t word : words) {
      for (int i = 0; i < 4; ++i) cpu.Memory[address + i] = static_cast<uint8_t>(word >> (8 * i));
      address += 4;
    }
  }
  void PutValue(uint32_t address, Value128 value) {
    for (int i = 0; i < 16; ++i) cpu.Memory[address + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  Value128 MemValue(uint32_t address) const {
    Value128 value = 0;
    for (int i = 15; i >= 0; --i) value = value << 8 | cpu.Memory[address + i];
    return value;
  }
  Value128& S(int number) { return *cpu.GetSpecialRegBits(number); }
  bool Flag(int bit) { return (S(TTALVOCPU::PSW) >> bit & 1) != 0; }

  // Everything an instruction could change, to show that a failing one changed nothing.
  std::string Snapshot() const {
    std::string state(reinterpret_cast<const char*>(cpu.Regs), sizeof cpu.Regs);
    state.append(reinterpret_cast<const char*>(cpu.SpecialRegs), sizeof cpu.SpecialRegs);
    state.append(reinterpret_cast<const char*>(cpu.Memory), cpu.MemAllocated);
    return state;
  }

  static constexpr uint32_t W(uint32_t op, uint32_t a, uint32_t b, uint32_t c) {
    return program_words::Word(op, a, b, c);
  }

  RecordingHost host;
  TTALVOCPU cpu;
};
