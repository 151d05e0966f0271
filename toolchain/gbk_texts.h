#pragma once
// Every text of the toolchain that is not plain ASCII, as the GBK bytes the kit reads
// and writes. Sources stay UTF-8, so each string is spelled in escapes with its
// Chinese text in the comment beside it; a test converts each one through iconv and
// compares it with that text.

namespace gbk {

// ---- assembler: keywords, pass messages, listing (mnemonics and special registers: isa/) ----

inline constexpr char kRegisterKeyword[] = "\xbc\xc4\xb4\xe6\xc6\xf7";  // 寄存器
inline constexpr char kKeywordOffset[] = "\xc6\xab\xd2\xc6\xb5\xd8\xd6\xb7";  // 偏移地址
inline constexpr char kKeywordSegment[] = "\xb6\xce\xb5\xd8\xd6\xb7";  // 段地址
inline constexpr char kKeywordLabel[] = "\xb1\xea\xba\xc5";  // 标号
inline constexpr char kKeywordData[] = "\xca\xfd\xbe\xdd";  // 数据
inline constexpr char kKeywordOrg[] = "\xd6\xd8\xb6\xa8\xce\xbb";  // 重定位
inline constexpr char kKeywordInclude[] = "\xb0\xfc\xba\xac\xce\xc4\xbc\xfe";  // 包含文件
inline constexpr char kMsgErrorLine[] = "\xb4\xed\xce\xf3\xa3\xba\xd0\xd0\xba\xc5";  // 错误：行号
inline constexpr char kMsgOperand1[] = "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xda" "1\xb8\xf6\xb2\xce\xca\xfd\xa3\xa1\r\n";  // 无法识别第1个参数！\r\n
inline constexpr char kMsgOperand2[] = "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xda" "2\xb8\xf6\xb2\xce\xca\xfd\xa3\xa1\r\n";  // 无法识别第2个参数！\r\n
inline constexpr char kMsgOperand3[] = "\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xda" "3\xb8\xf6\xb2\xce\xca\xfd\xa3\xa1\r\n";  // 无法识别第3个参数！\r\n
inline constexpr char kMsgOperandOther[] = "\xb1\xbe\xd0\xd0\xd3\xd0\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xb5\xc4\xb2\xce\xca\xfd\xa3\xa1\r\n";  // 本行有无法识别的参数！\r\n
inline constexpr char kMsgLineNo[] = "\xd0\xd0\xba\xc5\xa3\xba";  // 行号：
inline constexpr char kMsgBadLine[] = " \xb2\xbb\xc4\xdc\xbd\xe2\xce\xf6\xb5\xc4\xb4\xfa\xc2\xeb\xd0\xd0\xa3\xba";  //  不能解析的代码行：
inline constexpr char kListHeading[] = "\xb5\xd8\xd6\xb7\t\t\t\xb4\xfa\xc2\xeb\t\t\t\xd4\xb4\xb4\xfa\xc2\xeb\r\n";  // 地址\t\t\t代码\t\t\t源代码\r\n
inline constexpr char kListRefHeading[] = "\r\n*********\xd6\xb8\xc1\xee\xd6\xd0\xb5\xc4\xb1\xea\xba\xc5\xc1\xd0\xb1\xedmOpLines*********************\r\n";  // \r\n*********指令中的标号列表mOpLines*********************\r\n
inline constexpr char kListDefHeading[] = "\r\n****************\xd6\xb8\xc1\xee\xb1\xea\xba\xc5\xc1\xd0\xb1\xedmLines*************************\r\n";  // \r\n****************指令标号列表mLines*************************\r\n

// ---- end of assembler texts ----

// ---- object files, linker and driver ----

inline constexpr char kSymTextCodeCount[] = "\xb4\xfa\xc2\xeb\xbc\xc6\xca\xfd\xd6\xb5" "CodeCount\xa3\xba";  // 代码计数值CodeCount：
inline constexpr char kSymTextLineNum[] = "\xd0\xd0\xca\xfd\xbc\xc6\xca\xfd\xd6\xb5LineNum\xa3\xba";  // 行数计数值LineNum：
inline constexpr char kSymTextSymName[] = "\xb7\xfb\xba\xc5\xc3\xfb\xb3\xc6SymName\xa3\xba";  // 符号名称SymName：
inline constexpr char kDumpFileName[] = "QOBJ\xce\xc4\xbc\xfe\xc3\xfb\xa3\xba";  // QOBJ文件名：
inline constexpr char kDumpDefHeading[] = "******\xb1\xea\xba\xc5\xc1\xd0\xb1\xedmLines******\r\n";  // ******标号列表mLines******\r\n
inline constexpr char kDumpDefCount[] = "\xb1\xea\xba\xc5\xd0\xd0\xca\xfd\xd7\xdc\xbc\xc6LinesCount:";  // 标号行数总计LinesCount:
inline constexpr char kDumpRefHeading[] = "=======\xd6\xb8\xc1\xee\xd6\xd0\xd2\xfd\xd3\xc3\xb5\xc4\xb1\xea\xba\xc5\xc1\xd0\xb1\xedmOpLines=====\r\n";  // =======指令中引用的标号列表mOpLines=====\r\n
inline constexpr char kDumpRefCount[] = "\xd2\xfd\xd3\xc3\xb4\xfa\xc2\xeb\xb1\xea\xba\xc5\xd0\xd0\xca\xfd\xd7\xdc\xbc\xc6OpLinesCount:";  // 引用代码标号行数总计OpLinesCount:

// Build reports, as the workbench prints them and kelmoc after it.
inline constexpr char kReportCompiling[] = "\xd5\xfd\xd4\xda\xb1\xe0\xd2\xeb...";  // 正在编译...
inline constexpr char kReportCompileOk[] = "\xb1\xe0\xd2\xeb\xb3\xc9\xb9\xa6\xa3\xa1";  // 编译成功！
inline constexpr char kReportErrorInfo[] = "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba";  // 错误信息：
inline constexpr char kReportCompileFailed[] = "\xb1\xe0\xd2\xeb\xca\xa7\xb0\xdc\xa3\xa1";  // 编译失败！
inline constexpr char kReportBuildOk[] = "\xd5\xfd\xb3\xa3\xb1\xe0\xd2\xeb\xcd\xa8\xb9\xfd\xa3\xa1";  // 正常编译通过！
inline constexpr char kStatusBuildOk[] = "\xb1\xe0\xd2\xeb\xcd\xa8\xb9\xfd";  // 编译通过
inline constexpr char kReportAsmError[] = "\xb7\xa2\xcf\xd6\xb4\xed\xce\xf3\xa3\xac\xc7\xeb\xb5\xf7\xca\xd4...";  // 发现错误，请调试...
inline constexpr char kStatusAsmError[] = "\xd2\xbb\xb0\xe3\xb1\xe0\xd2\xeb\xb4\xed\xce\xf3";  // 一般编译错误
inline constexpr char kReportLinkError[] = "\xc1\xb4\xbd\xd3\xc6\xf7\xc1\xb4\xbd\xd3\xb4\xed\xce\xf3\xa3\xac\xbf\xc9\xc4\xdc\xca\xc7\xc3\xbb\xc9\xfa\xb3\xc9qobj\xce\xc4\xbc\xfe\xbb\xf2\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xb6\xa8\xd2\xe5\xb5\xc4\xb1\xea\xba\xc5...";  // 链接器链接错误，可能是没生成qobj文件或没有找到定义的标号...
inline constexpr char kStatusLinkError[] = "\xc1\xb4\xbd\xd3\xc6\xf7\xb4\xed\xce\xf3";  // 链接器错误
inline constexpr char kReportOtherError[] = "\xb1\xe0\xd2\xeb\xc6\xf7\xd2\xbb\xb0\xe3\xd0\xd4\xb4\xed\xce\xf3\xa3\xa1";  // 编译器一般性错误！
inline constexpr char kStatusOtherError[] = "\xc6\xe4\xcb\xfc\xb4\xed\xce\xf3";  // 其它错误
// kelmoc's report that could not be written, followed by the reason.
inline constexpr char kMsgReportNotWritten[] = "\xb4\xed\xce\xf3\xa3\xba\xb1\xe0\xd2\xeb\xb1\xa8\xb8\xe6\xc3\xbb\xc4\xdc\xcd\xea\xd5\xfb\xd0\xb4\xb5\xbd\xb1\xea\xd7\xbc\xca\xe4\xb3\xf6\xa3\xba";  // 错误：编译报告没能完整写到标准输出：

// File failures: the text, the path in GBK, the separator and the reason.
inline constexpr char kMsgCannotRead[] = "\xb4\xed\xce\xf3\xa3\xba\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xce\xc4\xbc\xfe ";  // 错误：无法读取文件 
inline constexpr char kMsgCannotWrite[] = "\xb4\xed\xce\xf3\xa3\xba\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb\xce\xc4\xbc\xfe ";  // 错误：无法写入文件 
inline constexpr char kMsgPathReasonSeparator[] = "\xa3\xba";  // ：
// After the reason of an output that failed and may no longer hold its old bytes.
inline constexpr char kMsgDiskMayBeChanged[] = "\xa3\xac\xb4\xc5\xc5\xcc\xc9\xcf\xb5\xc4\xce\xc4\xbc\xfe\xbf\xc9\xc4\xdc\xd2\xd1\xb1\xbb\xb8\xc4\xb6\xaf";  // ，磁盘上的文件可能已被改动
inline constexpr char kReasonNotAnObject[] = "\xb2\xbb\xca\xc7\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe";  // 不是目标文件
inline constexpr char kReasonObjectDamaged[] = "\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe\xb2\xbb\xcd\xea\xd5\xfb\xbb\xf2\xd2\xd1\xcb\xf0\xbb\xb5";  // 目标文件不完整或已损坏
// Outputs refused before anything is written, followed by the path.
inline constexpr char kMsgOverwritesSource[] = "\xb4\xed\xce\xf3\xa3\xba\xca\xe4\xb3\xf6\xce\xc4\xbc\xfe\xbb\xe1\xb8\xb2\xb8\xc7\xd4\xb4\xce\xc4\xbc\xfe ";  // 错误：输出文件会覆盖源文件 
inline constexpr char kMsgOverwritesProject[] = "\xb4\xed\xce\xf3\xa3\xba\xca\xe4\xb3\xf6\xce\xc4\xbc\xfe\xbb\xe1\xb8\xb2\xb8\xc7\xcf\xee\xc4\xbf\xce\xc4\xbc\xfe ";  // 错误：输出文件会覆盖项目文件 
inline constexpr char kMsgOutputTwice[] = "\xb4\xed\xce\xf3\xa3\xba\xc1\xbd\xb8\xf6\xca\xe4\xb3\xf6\xce\xc4\xbc\xfe\xca\xc7\xcd\xac\xd2\xbb\xb8\xf6\xce\xc4\xbc\xfe ";  // 错误：两个输出文件是同一个文件 
// A label whose name the object record cannot hold, followed by the object's path.
inline constexpr char kMsgNameTooLong[] = "\xb4\xed\xce\xf3\xa3\xba\xb1\xea\xba\xc5\xc3\xfb\xb3\xc6\xb3\xac\xb9\xfd" "1023\xd7\xd6\xbd\xda\xa3\xac\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe ";  // 错误：标号名称超过1023字节，无法写入目标文件 
// A label that references name and no object defines: the text, the name, the second
// text, the source that refers to it, the third text.
inline constexpr char kMsgUndefinedLabel[] = "\xbe\xaf\xb8\xe6\xa3\xba\xb1\xea\xba\xc5 ";  // 警告：标号 
inline constexpr char kMsgUndefinedIn[] = " \xce\xb4\xb6\xa8\xd2\xe5\xa3\xa8";  //  未定义（
inline constexpr char kMsgUndefinedEnd[] = "\xa3\xa9";  // ）
// A data reference to a definition of another source, which gets nothing of it: the
// label's text, the name, this text, the source, kMsgUndefinedEnd.
inline constexpr char kMsgDefinedElsewhereIn[] = " \xd4\xda\xc6\xe4\xcb\xfb\xce\xc4\xbc\xfe\xd6\xd0\xb6\xa8\xd2\xe5\xa3\xac\xca\xfd\xbe\xdd\xd2\xfd\xd3\xc3\xc8\xa1\xd6\xb5\xce\xaa 0\xa3\xa8";  //  在其他文件中定义，数据引用取值为 0（
// A reference without a name: this text, the address of its instruction, the second
// text, the source, kMsgUndefinedEnd.
inline constexpr char kMsgNamelessAt[] = "\xbe\xaf\xb8\xe6\xa3\xba\xb5\xd8\xd6\xb7 ";  // 警告：地址 
inline constexpr char kMsgNamelessIn[] = " \xb4\xa6\xb5\xc4\xd6\xb8\xc1\xee\xc3\xbb\xd3\xd0\xd0\xb4\xb1\xea\xba\xc5\xc3\xfb\xa3\xa8";  //  处的指令没有写标号名（
// A source without a name: an editor window never saved, an empty project entry.
inline constexpr char kMsgNoFileName[] = "\xb4\xed\xce\xf3\xa3\xba\xd4\xb4\xce\xc4\xbc\xfe\xc3\xbb\xd3\xd0\xce\xc4\xbc\xfe\xc3\xfb\xa3\xa1\r\n";  // 错误：源文件没有文件名！\r\n

// ---- end of object file, linker and driver texts ----

}  // namespace gbk
