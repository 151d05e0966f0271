#include <gtest/gtest.h>

#include <string>

#include "core_fixture.h"

namespace {

class OpeningHost : public RecordingHost {
 public:
  int OpenMemoryView(TTALVOCPU& core) override { return Open(core); }
  int OpenCommonRegisters(TTALVOCPU& core) override { return Open(core); }
  int OpenSpecialRegisters(TTALVOCPU& core) override { return Open(core); }
  int OpenTestDialog(TTALVOCPU& core) override { return Open(core); }

  int opened = 0;
  TTALVOCPU* lastCore = nullptr;

 private:
  int Open(TTALVOCPU& core) {
    ++opened;
    lastCore = &core;
    return 0;
  }
};

class CpuViews : public CoreTest {};

TEST_F(CpuViews, MemoryTextsStayInsideTheBlock) {
  for (int i = 0; i < 8; ++i) cpu.Memory[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(cpu.MemDumpText(0, 1), "0\t0807060504030201\r\n");
  EXPECT_EQ(cpu.MemLineText(0), "0\t0807060504030201");

  const int64_t last = kMemBytes - 8;
  for (int i = 0; i < 8; ++i) cpu.Memory[last + i] = 0xFF;
  EXPECT_EQ(cpu.MemDumpText(last - 8, 16),
            std::to_string(last - 8) + "\t0000000000000000\r\n" + std::to_string(last) + "\tFFFFFFFFFFFFFFFF\r\n");
  EXPECT_EQ(cpu.MemDumpText(last + 1, 1), "");
  EXPECT_EQ(cpu.MemToDecText(last), "-1");
  EXPECT_EQ(cpu.MemToDecText(last + 1), "0");
  EXPECT_EQ(cpu.MemToHexText(-1), "0");
}

TEST_F(CpuViews, RegistersByNumber) {
  cpu.Regs[255] = 1;
  *cpu.GetSpecialRegBits(TTALVOCPU::PSW) = 0xAB;
  const std::string dump = cpu.RegistersDumpText();
  EXPECT_EQ(dump.substr(dump.size() - 38), "255\t" + std::string(31, '0') + "1\r\n");
  EXPECT_EQ(cpu.RegToHexText(0), std::string(32, '0'));
  EXPECT_EQ(cpu.RegToHexText(256), "0");
  EXPECT_EQ(cpu.RegToHexText(-1), "0");

  const std::string specials = cpu.SpecialRegistersDumpText();
  EXPECT_NE(specials.find("6\tPSW\t" + std::string(30, '0') + "AB\r\n"), std::string::npos);
  EXPECT_EQ(cpu.SpecialRegToHexText(TTALVOCPU::PSW), std::string(30, '0') + "AB");
  EXPECT_EQ(cpu.SpecialRegToHexText(10), "0");
  EXPECT_STREQ(TTALVOCPU::SpecialRegName(6), "PSW");
}

TEST_F(CpuViews, WindowsOpenThroughTheHost) {
  cpu.Host = nullptr;
  EXPECT_EQ(cpu.ShowMemoryView(), -1);  // no window to open them on
  OpeningHost host;
  cpu.Host = &host;
  EXPECT_EQ(cpu.ShowMemoryView(), 0);
  EXPECT_EQ(cpu.ShowCommonRegisters(), 0);
  EXPECT_EQ(cpu.ShowSpecialRegisters(), 0);
  EXPECT_EQ(cpu.ShowRegOpDialog(), 0);
  EXPECT_EQ(host.opened, 4);
  EXPECT_EQ(host.lastCore, &cpu);
}

}  // namespace
