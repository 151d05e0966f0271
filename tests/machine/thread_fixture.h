#pragma once
// A core whose every reset loads a small endless program through a settings file in
// a folder of its own, for tests that run it on the core thread.

#include <gtest/gtest.h>

#include <string>

#include "../common/eventually.h"
#include "../common/scratch.h"
#include "../common/stored_name.h"
#include "machine/core_thread.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"
#include "program_words.h"
#include "recording_host.h"

class ThreadedCoreTest : public ScratchFolderTest {
 protected:
  void SetUp() override {
    ScratchFolderTest::SetUp();
    cpu.Host = &host;
    cpu.SettingPath = PathOf("run.setting");
  }

  // The BIOS every reset loads: R1 counts up for ever.
  void UseCountingProgram() {
    using namespace program_words;
    Image image;
    image.Load(2, 1).Load(3, 40).Emit(Word(Add, 1, 1, 2)).Emit(Word(Jmp, 0, 0, 3));
    UseBios(image);
  }
  void UseBios(const program_words::Image& image) {
    const std::string bios = PathOf("bios.bin");
    ASSERT_TRUE(image.WriteTo(bios));
    TSettingItems items;
    items.Items[0] = "1";
    items.Items[6] = StoredName(bios);
    ASSERT_EQ(WriteSettingItems(cpu.SettingPath, items), 1);
  }
  // Begins the thread's run of the counting program and waits until it counts.
  bool StartCounting(TCoreThread& thread) {
    cpu.Regs[1] = 0;
    thread.Running = 1;
    thread.Resume();
    return Eventually([&] { return Counter() > 100; });
  }
  // R9 holds what no reset leaves there.
  void Mark() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    cpu.Regs[9] = 99;
  }
  bool Marked() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    return cpu.Regs[9] == 99;
  }
  Value128 Counter() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    return cpu.Regs[1];
  }

  RecordingHost host;
  TTALVOCPU cpu;
};
