#pragma once
// A core whose every reset loads a small endless program through a settings file in
// a folder of its own, for tests that run it on the core thread.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"
#include "program_words.h"
#include "recording_host.h"

class ThreadedCoreTest : public ::testing::Test {
 protected:
  ThreadedCoreTest() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("core_thread_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    cpu.Host = &host;
    cpu.SettingPath = (folder / "run.setting").string();
  }
  ~ThreadedCoreTest() override { std::filesystem::remove_all(folder); }

  // The BIOS every reset loads: R1 counts up for ever.
  void UseCountingProgram() {
    using namespace program_words;
    Image image;
    image.Load(2, 1).Load(3, 40).Emit(Word(Add, 1, 1, 2)).Emit(Word(Jmp, 0, 0, 3));
    UseBios(image);
  }
  void UseBios(const program_words::Image& image) {
    const std::string bios = (folder / "bios.bin").string();
    ASSERT_TRUE(image.WriteTo(bios));
    TSettingItems items;
    items.Items[0] = "1";
    items.Items[6] = bios;
    ASSERT_EQ(WriteSettingItems(cpu.SettingPath, items), 1);
  }
  Value128 Counter() {
    std::lock_guard<TCoreLock> guard(cpu.CoreLock);
    return cpu.Regs[1];
  }

  std::filesystem::path folder;
  RecordingHost host;
  TTALVOCPU cpu;
};
