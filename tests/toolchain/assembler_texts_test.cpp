#include <gtest/gtest.h>

#include <string>

#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"

namespace {

struct TextCase {
  const char* Gbk;
  const char* Utf8;
};

const TextCase kAssemblerTexts[] = {
    {gbk::kRegisterKeyword, "寄存器"},
    {gbk::kKeywordOffset, "偏移地址"},
    {gbk::kKeywordSegment, "段地址"},
    {gbk::kKeywordLabel, "标号"},
    {gbk::kKeywordData, "数据"},
    {gbk::kKeywordOrg, "重定位"},
    {gbk::kKeywordInclude, "包含文件"},
    {gbk::kMsgErrorLine, "错误：行号"},
    {gbk::kMsgOperand1, "无法识别第1个参数！\r\n"},
    {gbk::kMsgOperand2, "无法识别第2个参数！\r\n"},
    {gbk::kMsgOperand3, "无法识别第3个参数！\r\n"},
    {gbk::kMsgOperandOther, "本行有无法识别的参数！\r\n"},
    {gbk::kMsgLineNo, "行号："},
    {gbk::kMsgBadLine, " 不能解析的代码行："},
    {gbk::kListHeading, "地址\t\t\t代码\t\t\t源代码\r\n"},
    {gbk::kListRefHeading, "\r\n*********指令中的标号列表mOpLines*********************\r\n"},
    {gbk::kListDefHeading, "\r\n****************指令标号列表mLines*************************\r\n"},
    {gbk::kSymTextCodeCount, "代码计数值CodeCount："},
    {gbk::kSymTextLineNum, "行数计数值LineNum："},
    {gbk::kSymTextSymName, "符号名称SymName："},
    {gbk::kDumpFileName, "QOBJ文件名："},
    {gbk::kDumpDefHeading, "******标号列表mLines******\r\n"},
    {gbk::kDumpDefCount, "标号行数总计LinesCount:"},
    {gbk::kDumpRefHeading, "=======指令中引用的标号列表mOpLines=====\r\n"},
    {gbk::kDumpRefCount, "引用代码标号行数总计OpLinesCount:"},
    {gbk::kReportCompiling, "正在编译..."},
    {gbk::kReportCompileOk, "编译成功！"},
    {gbk::kReportErrorInfo, "错误信息："},
    {gbk::kReportCompileFailed, "编译失败！"},
    {gbk::kReportBuildOk, "正常编译通过！"},
    {gbk::kStatusBuildOk, "编译通过"},
    {gbk::kReportAsmError, "发现错误，请调试..."},
    {gbk::kStatusAsmError, "一般编译错误"},
    {gbk::kReportLinkError, "链接器链接错误，可能是没生成qobj文件或没有找到定义的标号..."},
    {gbk::kStatusLinkError, "链接器错误"},
    {gbk::kReportOtherError, "编译器一般性错误！"},
    {gbk::kStatusOtherError, "其它错误"},
    {gbk::kMsgReportNotWritten, "错误：编译报告没能完整写到标准输出："},
    {gbk::kMsgCannotRead, "错误：无法读取文件 "},
    {gbk::kMsgCannotWrite, "错误：无法写入文件 "},
    {gbk::kMsgDiskMayBeChanged, "，磁盘上的文件可能已被改动"},
    {gbk::kMsgPathReasonSeparator, "："},
    {gbk::kReasonNotAnObject, "不是目标文件"},
    {gbk::kReasonObjectDamaged, "目标文件不完整或已损坏"},
    {gbk::kMsgOverwritesSource, "错误：输出文件会覆盖源文件 "},
    {gbk::kMsgOverwritesProject, "错误：输出文件会覆盖项目文件 "},
    {gbk::kMsgOutputTwice, "错误：两个输出文件是同一个文件 "},
    {gbk::kMsgNameTooLong, "错误：标号名称超过1023字节，无法写入目标文件 "},
    {gbk::kMsgNoFileName, "错误：源文件没有文件名！\r\n"},
    {gbk::kMsgUndefinedLabel, "警告：标号 "},
    {gbk::kMsgUndefinedIn, " 未定义（"},
    {gbk::kMsgUndefinedEnd, "）"},
    {gbk::kMsgDefinedElsewhereIn, " 在其他文件中定义，数据引用取值为 0（"},
    {gbk::kMsgNamelessAt, "警告：地址 "},
    {gbk::kMsgNamelessIn, " 处的指令没有写标号名（"},
};

TEST(AssemblerTexts, EveryTextIsItsChineseInGbk) {
  for (const TextCase& text : kAssemblerTexts) {
    EXPECT_EQ(GbkToUtf8Strict(text.Gbk).value_or("<not GBK>"), text.Utf8);
  }
}

}  // namespace
