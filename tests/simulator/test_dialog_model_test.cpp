#include "simulator/model/test_dialog_model.h"

#include <gtest/gtest.h>

#include <string>

#include "small_core.h"
#include "simulator/model/inspect_texts.h"

namespace {

TEST(RegOpDialog, LoadAddAndShow) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegOpModel dlg(&cpu);
  dlg.EditReg1 = "5";
  dlg.EditReg2 = "6";
  EXPECT_FALSE(dlg.BtnLD1Click());
  EXPECT_FALSE(dlg.BtnLD2Click());
  EXPECT_EQ(cpu.Regs[0], 5u);
  EXPECT_EQ(cpu.Regs[1], 6u);
  EXPECT_EQ(core.Ip(), 40u);

  EXPECT_FALSE(dlg.RunOp(TRegOp::Add));
  EXPECT_EQ(cpu.Regs[2], 11u);
  EXPECT_EQ(dlg.EditResultContent, "1011");
  dlg.EditRegResult = "0";
  EXPECT_FALSE(dlg.BtnGetResultClick());
  EXPECT_EQ(dlg.EditResultContent, "101");
  dlg.EditRegResult = "256";
  EXPECT_FALSE(dlg.BtnGetResultClick());
  EXPECT_EQ(dlg.EditResultContent, "0");

  // CMP shows its first register, which it leaves as it was.
  EXPECT_FALSE(dlg.RunOp(TRegOp::Cmp));
  EXPECT_EQ(dlg.EditResultContent, "101");
}

TEST(RegOpDialog, RefusalsComeBeforeTheOperation) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegOpModel dlg(&cpu);
  dlg.EditRegOp2 = "-1";
  EXPECT_EQ(dlg.RunOp(TRegOp::Add).Text, kTextNegativeRegister);
  EXPECT_EQ(dlg.RunOp(TRegOp::Copy).Text, kTextNegativeRegister);  // reads op2 though unused
  dlg.EditRegOp2 = "x";
  EXPECT_EQ(dlg.RunOp(TRegOp::Add).kind, TViewMessage::Kind::ConversionError);
  EXPECT_EQ(dlg.EditResultContent, "-");

  dlg.EditRegOp2 = "1";
  dlg.EditRegResult = "300";
  EXPECT_EQ(dlg.RunOp(TRegOp::Add).Text, RegOpRow(TRegOp::Add).FailureText);
  dlg.EditRegResult = "255";
  EXPECT_EQ(dlg.RunOp(TRegOp::Mul).Text, RegOpRow(TRegOp::Mul).FailureText);
  dlg.EditRegOp1 = "10";
  EXPECT_EQ(dlg.RunOp(TRegOp::Get).Text, RegOpRow(TRegOp::Get).FailureText);
  EXPECT_EQ(core.Ip(), 0u);

  dlg.EditRegNum1 = "-1";
  EXPECT_EQ(dlg.BtnLD1Click().Text, kTextNoRegisterLoad);
  dlg.EditRegNum1 = "0";
  dlg.EditReg1 = std::string(128, '1');
  EXPECT_EQ(dlg.BtnLD1Click().Text, kTextNo128BitConversion);
  dlg.EditReg1 = "-5";
  EXPECT_EQ(dlg.BtnLD1Click().Text, kTextNo128BitConversion);
  EXPECT_EQ(core.Ip(), 0u);

  TRegOpModel detached;
  EXPECT_EQ(detached.RunOp(TRegOp::Add).Text, kTextNoValidCore);
  EXPECT_EQ(detached.BtnChgClick().Text, kTextNoCpuCoreAttached);
  EXPECT_EQ(detached.BtnDecClick().Text, kTextNoValidCore);
  EXPECT_FALSE(detached.BtnLD1Click());
}

TEST(RegOpDialog, SpecialRegisterAndMemoryResults) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegOpModel dlg(&cpu);
  cpu.Regs[0] = 6;
  dlg.EditRegOp1 = "0";
  dlg.EditRegResult = "7";  // ICW
  EXPECT_FALSE(dlg.RunOp(TRegOp::Set));
  EXPECT_EQ(*cpu.GetSpecialRegBits(TTALVOCPU::ICW), 6u);
  EXPECT_EQ(dlg.EditResultContent, "110");

  // MM: 16 bytes from address R[op2] to address R[res]; the window shows the first word.
  for (int i = 0; i < 16; ++i) cpu.Memory[64 + i] = 0xFF;
  cpu.Regs[1] = 64;
  cpu.Regs[2] = 128;
  dlg.EditRegOp1 = "0";
  dlg.EditRegOp2 = "1";
  dlg.EditRegResult = "2";
  EXPECT_FALSE(dlg.RunOp(TRegOp::MM));
  EXPECT_EQ(dlg.EditMemContent, "-1");
  EXPECT_EQ(cpu.Memory[143], 0xFF);
}

TEST(RegOpDialog, BinaryAndDecimalConversions) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  TRegOpModel dlg(&cpu);
  dlg.EditReg1 = "5";
  EXPECT_FALSE(dlg.BtnChgClick());
  EXPECT_EQ(dlg.EditBin, "101");
  dlg.EditReg1 = "0";
  dlg.BtnChgClick();
  EXPECT_EQ(dlg.EditBin, "");
  dlg.EditReg1 = "-1";
  dlg.BtnChgClick();
  EXPECT_EQ(dlg.EditBin, std::string(128, '1'));

  EXPECT_FALSE(dlg.BtnDecClick());  // "-" is no binary text
  EXPECT_EQ(dlg.EditDec, "-");
  dlg.EditResultContent = "101";
  dlg.BtnDecClick();
  EXPECT_EQ(dlg.EditDec, "5");
  dlg.EditResultContent = "0";
  dlg.BtnDecClick();
  EXPECT_EQ(dlg.EditDec, "");
  dlg.EditResultContent = std::string(129, '1');
  dlg.BtnDecClick();
  EXPECT_EQ(dlg.EditDec, "");
}

}  // namespace
