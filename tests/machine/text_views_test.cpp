#include "machine/text_views.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextViews, MemoryLines) {
  std::vector<uint8_t> bytes(32, 0);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(i + 1);
  const TMemoryBlock memory{bytes.data(), bytes.size()};
  EXPECT_EQ(MemDumpText(memory, 0, 1), "0\t0807060504030201\r\n");
  EXPECT_EQ(MemDumpText(memory, 16, 2), "16\t0000000000000000\r\n24\t0000000000000000\r\n");
  EXPECT_EQ(MemDumpText(memory, 0, 0), "");
  EXPECT_EQ(MemDumpText(memory, 0, -3), "");
  EXPECT_EQ(MemToDecText(memory, 0), "578437695752307201");
}

TEST(TextViews, NothingOutsideMemoryIsRead) {
  std::vector<uint8_t> bytes(20, 0xFF);
  const TMemoryBlock memory{bytes.data(), bytes.size()};
  // Words at 0 and 8 fit; the one at 16 would leave the 20 bytes.
  EXPECT_EQ(MemDumpText(memory, 0, 16), "0\tFFFFFFFFFFFFFFFF\r\n8\tFFFFFFFFFFFFFFFF\r\n");
  EXPECT_EQ(MemDumpText(memory, 13, 1), "");
  EXPECT_EQ(MemDumpText(memory, -8, 4), "");
  EXPECT_EQ(MemDumpText(memory, INT64_MAX - 8, 2), "");
  EXPECT_EQ(MemToDecText(memory, 12), "-1");
  EXPECT_EQ(MemToDecText(memory, 13), "0");
  EXPECT_EQ(MemToHexText(memory, 13), "0");
  EXPECT_EQ(MemToDecText(TMemoryBlock{}, 0), "0");
  const std::vector<uint8_t> tiny(4, 1);
  EXPECT_EQ(MemDumpText(TMemoryBlock{tiny.data(), tiny.size()}, 0, 1), "");
}

TEST(TextViews, RegisterDumps) {
  Value128 regs[256] = {};
  regs[255] = MakeValue128(0x0123456789ABCDEFull, 1);
  const std::string dump = RegistersDumpText(regs);
  EXPECT_EQ(dump.substr(0, 36), "0\t" + std::string(32, '0') + "\r\n");
  EXPECT_EQ(dump.substr(dump.size() - 38), "255\t0123456789ABCDEF0000000000000001\r\n");

  Value128 special[isa::kSpecialRegisterCount] = {};
  special[6] = 5;
  const std::string specials = SpecialRegistersDumpText(special);
  EXPECT_NE(specials.find("\r\n6\tPSW\t" + std::string(31, '0') + "5\r\n7\tICW\t"), std::string::npos);
  EXPECT_EQ(specials.substr(0, 6), "0\tBS\t0");
  EXPECT_STREQ(SpecialRegName(10), "0");
  EXPECT_STREQ(SpecialRegName(-1), "0");
  EXPECT_STREQ(SpecialRegName(9), "SP");
}

}  // namespace
