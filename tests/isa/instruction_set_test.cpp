// The instruction-set description: its GBK names, and the rules a new line must keep
// so that the assembler's lookup and the core's dispatch stay unambiguous.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "base/gbk_convert.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"

namespace {

TEST(InstructionSet, ChineseNamesAreTheGbkOfTheirText) {
  const char* const mnemonics[] = {
      "复制", "赋值", "空指令", "内存至内存", "内存至寄存器", "寄存器至内存", "特殊寄存器至寄存器",
      "寄存器至特殊寄存器", "加法", "减法", "乘法", "除法", "置一", "置零", "自增一", "自减一", "与", "或",
      "异或", "非", "比较", "跳转", "相等则跳转", "不等则跳转", "小于则跳转", "大于则跳转", "压栈", "出栈",
      "左移", "右移", "调用", "返回", "调用中断", "中断返回", "输入", "输出", "直接数据复制", "赋值", "子程序"};
  ASSERT_EQ(std::size(isa::kForms), std::size(mnemonics));
  for (size_t i = 0; i < std::size(mnemonics); ++i)
    EXPECT_EQ(GbkToUtf8Strict(isa::kForms[i].Chinese), mnemonics[i]) << isa::kForms[i].English;

  const char* const specials[] = {"基址段寄存器", "基址偏移寄存器", "数据段寄存器", "数据偏移寄存器", "指令段寄存器",
                                  "指令偏移寄存器", "程序控制字",   "中断控制字",   "堆栈段寄存器", "堆栈偏移寄存器"};
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    EXPECT_EQ(GbkToUtf8Strict(isa::kSpecialRegisterNames[n].Chinese), specials[n]) << n;
}

TEST(InstructionSet, EachNameAndOperandCountIsOneFormAndEachOpcodeOneOperation) {
  std::set<std::pair<std::string, int>> names;
  std::set<int> opcodes;
  for (const isa::Form& form : isa::kForms) {
    const int count = isa::OperandCount(form.OperandShape);
    EXPECT_TRUE(names.emplace(form.English, count).second) << form.English;
    EXPECT_TRUE(names.emplace(form.Chinese, count).second) << form.English;
    // Only LD has a second form, its label keyword form.
    if (!opcodes.insert(form.Code).second) {
      EXPECT_EQ(form.OperandShape, isa::Shape::LdLabel);
    }
    EXPECT_EQ(isa::FormOf(form.Code)->English, std::string(form.English));
  }
  EXPECT_EQ(isa::FormOf(0x07), nullptr);
  EXPECT_EQ(isa::InstructionBytes(isa::Ld), 20);
  EXPECT_EQ(isa::InstructionBytes(isa::Func), 20);
  EXPECT_EQ(isa::InstructionBytes(isa::Call), 4);
  EXPECT_EQ(isa::InstructionBytes(0x07), 4);
}

}  // namespace
