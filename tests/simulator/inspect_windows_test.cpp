#include <gtest/gtest.h>

#include <string>

#include "small_core.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/memory_view_model.h"
#include "simulator/model/register_window_model.h"

namespace {

// Every listed line, each ended as the core's dumps end them.
std::string Listed(const TLineSource& source) {
  std::string text;
  for (const std::string& line : source.Lines(0, source.LineCount())) text += line + "\r\n";
  return text;
}

TEST(MemoryView, ShowsSixteenWordsFromZero) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TMemoryViewModel view(&cpu);
  EXPECT_FALSE(view.FormShow());
  EXPECT_EQ(view.LineCount(), 16);
  EXPECT_EQ(Listed(view), cpu.MemDumpText(0, 16));
  EXPECT_EQ(view.Lines(15, 5), std::vector<std::string>{"120\t0000000000000000"});
  EXPECT_TRUE(view.Timer.Running());
  EXPECT_EQ(view.Timer.IntervalMs, 1000);
}

// The list holds exactly the lines of the core's dump, whatever start and count.
TEST(MemoryView, ListsWhatTheDumpGivesForAnyStartAndCount) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  for (int i = 0; i < 4096; ++i) cpu.Memory[i] = static_cast<uint8_t>(i * 7);
  TMemoryViewModel view(&cpu);
  const struct {
    int32_t start, lines;
  } cases[] = {{0, 16}, {4080, 16}, {4088, 5}, {4089, 1}, {4096, 1}, {-8, 3}, {8, 0}, {8, -5}, {3, INT32_MAX}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + " " + std::to_string(c.lines));
    view.EditMemAddress = std::to_string(c.start);
    view.EditMemLen = std::to_string(c.lines);
    EXPECT_FALSE(view.FormShow());
    EXPECT_EQ(Listed(view), cpu.MemDumpText(c.start, c.lines));
  }
  EXPECT_TRUE(view.Lines(view.LineCount(), 1).empty());
  EXPECT_TRUE(view.Lines(-1, 1).empty());
}

TEST(MemoryView, EditStoresA32BitValueZeroExtended) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TMemoryViewModel view(&cpu);
  view.EditMemChgAddr = "8";
  view.EditMemContent = "1";
  EXPECT_FALSE(view.BtnApplyEditClick());
  EXPECT_EQ(cpu.MemToHexText(8), "0000000000000001");
  view.EditMemContent = "-1";
  EXPECT_FALSE(view.BtnApplyEditClick());
  EXPECT_EQ(cpu.MemToHexText(8), "00000000FFFFFFFF");
  EXPECT_EQ(view.Lines(1, 1), std::vector<std::string>{"8\t00000000FFFFFFFF"});
}

TEST(MemoryView, RefusesWordsOutsideMemoryAndBadNumbers) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TMemoryViewModel view(&cpu);
  const int64_t end = static_cast<int64_t>(cpu.MemAllocated);
  view.EditMemChgAddr = std::to_string(end - 4);
  view.EditMemContent = "7";
  const TViewMessage refused = view.BtnApplyEditClick();
  EXPECT_EQ(refused.kind, TViewMessage::Kind::Warning);
  EXPECT_EQ(refused.Text, kTextMemoryOutside);
  EXPECT_EQ(cpu.Memory[end - 4], 0);
  view.EditMemChgAddr = "-8";
  EXPECT_EQ(view.BtnApplyEditClick().Text, kTextMemoryOutside);

  // A bad start address is reported once: the refresh stops instead of failing every tick.
  view.EditMemAddress = "abc";
  EXPECT_EQ(view.FormShow().kind, TViewMessage::Kind::ConversionError);
  EXPECT_FALSE(view.Timer.Running());

  TMemoryViewModel detached;
  EXPECT_FALSE(detached.FormShow());
  EXPECT_FALSE(detached.BtnApplyEditClick());
}

TEST(RegisterWindows, GeneralRegisterLoadsLikeLd) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegisterWindowModel window(TRegisterWindowModel::Kind::Common, &cpu);
  window.EditNum = "5";
  window.EditContent = "10";
  EXPECT_FALSE(window.BtnChgClick());
  EXPECT_EQ(cpu.Regs[5], 10u);
  EXPECT_EQ(core.Ip(), 20u);
  EXPECT_NE(Listed(window).find("5\t" + std::string(31, '0') + "A\r\n"), std::string::npos);

  // A value that does not convert is refused with a reason, in both windows.
  TRegisterWindowModel special(TRegisterWindowModel::Kind::Special, &cpu);
  special.EditNum = "5";
  const std::string refused[] = {"340282366920938463463374607431768211456", "-5", "12a", "1 2", std::string(128, '1')};
  for (const std::string& bad : refused) {
    SCOPED_TRACE(bad);
    window.EditContent = special.EditContent = bad;
    const TViewMessage message = window.BtnChgClick();
    EXPECT_EQ(message.kind, TViewMessage::Kind::Warning);
    EXPECT_EQ(message.Text, kTextBadRegisterContent);
    EXPECT_EQ(special.BtnChgClick().Text, kTextBadRegisterContent);
  }
  window.EditContent = "340282366920938463463374607431768211455";  // 2^128 - 1
  window.EditNum = "6";
  EXPECT_FALSE(window.BtnChgClick());
  EXPECT_EQ(cpu.Regs[6], ~Value128{0});
  EXPECT_EQ(core.Ip(), 40u);
  window.EditNum = "5";
  window.EditContent = "3";
  window.EditNum = "-1";
  EXPECT_FALSE(window.BtnChgClick());
  window.EditNum = "256";
  EXPECT_EQ(window.BtnChgClick().Text, kTextRegisterOutside);
  EXPECT_EQ(cpu.Regs[5], 10u);
  EXPECT_EQ(core.Ip(), 40u);
}

TEST(RegisterWindows, SpecialRegisterSetDirectly) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  cpu.Regs[0] = 0;
  *cpu.GetSpecialRegBits(TTALVOCPU::IP) = 40;
  TRegisterWindowModel window(TRegisterWindowModel::Kind::Special, &cpu);
  window.EditNum = "5";
  window.EditContent = "0";
  EXPECT_FALSE(window.BtnChgClick());
  EXPECT_EQ(core.Ip(), 0u);
  window.EditNum = "6";
  window.EditContent = "7";
  EXPECT_FALSE(window.BtnChgClick());
  EXPECT_NE(Listed(window).find("6\tPSW\t" + std::string(31, '0') + "7\r\n"), std::string::npos);

  window.EditNum = "10";
  const TViewMessage refused = window.BtnChgClick();
  EXPECT_EQ(refused.kind, TViewMessage::Kind::Error);
  EXPECT_EQ(refused.Text, kTextNoSpecialRegisterFound);
}

TEST(RegisterWindows, OnlyTheSpecialWindowReappliesItsIntervalOnShow) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegisterWindowModel common(TRegisterWindowModel::Kind::Common, &cpu);
  TRegisterWindowModel special(TRegisterWindowModel::Kind::Special, &cpu);
  common.Timer.SecondsText = special.Timer.SecondsText = "0";
  common.FormShow();
  special.FormShow();
  EXPECT_TRUE(common.Timer.Running());
  EXPECT_FALSE(special.Timer.Running());
  EXPECT_FALSE(common.SBtnAutoClick());
  EXPECT_FALSE(common.Timer.Running());
}

}  // namespace
