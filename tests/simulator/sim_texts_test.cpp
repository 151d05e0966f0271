#include <gtest/gtest.h>

#include <string>

#include "base/gbk_convert.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/sim_texts.h"

namespace {

// Every text of the simulator is kept as GBK bytes; each must read as the Chinese the
// user is meant to see.
TEST(SimulatorTexts, AreTheGbkOfTheirChinese) {
  const struct {
    const char* Gbk;
    const char* Utf8;
  } texts[] = {
      {kTextAppTitle, "TALVO128计算机仿真机"},
      {kTextPromptCaption, "系统提示"},
      {kTextReady, "就绪"},
      {kTextRunStarted, "CPU开始运行..."},
      {kTextPaused, "CPU已经暂停运行！"},
      {kTextContinued, "CPU继续运行！"},
      {kTextResumed, "CPU已经恢复运行！"},
      {kTextStopped, "CPU已经停止运行！"},
      {kTextBiosNotLoaded, "不能装入BIOS文件！"},
      {kTextSavedDefault, "设置保存到默认设置文件成功！"},
      {kTextSaveFailed, "设置保存到设置文件失败！"},
      {kTextSavedFile, "设置信息保存到文件成功！"},
      {kTextLoadedFile, "从文件中装入设置信息成功！"},
      {kTextLoadFailed, "从文件中装入设置信息失败！"},
      {kTextMemSizeRange, "内存大小必须是1到2047之间的整数（兆字节）！"},
      {kTextNameHasLineBreak, "文件名中不能含有换行符！"},
      {kTextFloppyEjected, "软盘已经弹出！"},
      {kTextFloppyOpened, "虚拟软盘已经打开！"},
      {kTextFloppyOpenFailed, "无法打开虚拟软盘，请检查设置！"},
      {kTextHardDiskOpenFailed, "无法打开虚拟硬盘，请检查设置！"},
      {kTextFloppyLostWrites, "不能把数据写入虚拟软盘文件"},
      {kTextHardDiskLostWrites, "不能把数据写入虚拟硬盘文件"},
      {kTextFloppyReadRefused, "不能读取虚拟软盘文件"},
      {kTextHardDiskReadRefused, "不能读取虚拟硬盘文件"},
      {kTextNoHelpFile, "不能打开帮助文件"},
      {kTextIpOutsideMemory, "IP超出内存"},
      {kTextCannotAllocate, "不能分配"},
      {kTextMegabytesOfMemory, "兆字节的内存！"},
      {kTextNoBiosFileSet, "没有设置BIOS文件，请在CPU设置中选择并保存到默认设置！"},
      {kTextBiosNotRunnable, "不能运行BIOS文件"},
      {kTextFileEmpty, "文件为空"},
      {kTextColon, "："},
      {kTextNoSpecialRegisterFound, "不能找到合适的特殊功能寄存器！"},
      {kTextMemoryOutside, "内存地址超出范围！"},
      {kTextRegisterOutside, "寄存器号超出范围！"},
      {kTextBadRegisterContent, "寄存器内容必须是128位以内的无符号十进制整数！"},
      {kTextNoValidCore, "找不到合法的仿真核!"},
      {kTextNoCpuCoreAttached, "未挂入合法的CPU核!"},
      {kTextNegativeRegister, "寄存器号不能小于零!"},
      {kTextNo128BitConversion, "不能进行合法的128位数中间转换!"},
      {kTextNoRegisterLoad, "不能进行合法的通用寄存器赋值!"},
      {kTextNoFuncCall, "不能进行合法的带偏移地址的子程序调用!"},
      {kTextTooManyLinesToCopy, "一次最多复制100000行！"},
  };
  for (const auto& text : texts) {
    EXPECT_EQ(Utf8ToGbkStrict(text.Utf8), std::string(text.Gbk)) << text.Utf8;
  }
}

}  // namespace
