#pragma once
// The workbench model's own texts, GBK bytes as the kit shows and stores them, and
// the messages made of them, UTF-8 text as every message is.

#include <string>

#include "base/gbk_convert.h"

namespace wbtext {

// 没发现需要编译的文件！\n请自行在项目文件中添加后重新执行编译命令！
inline constexpr char kNothingToBuild[] = "\xc3\xbb\xb7\xa2\xcf\xd6\xd0\xe8\xd2\xaa\xb1\xe0\xd2\xeb\xb5\xc4\xce\xc4\xbc\xfe\xa3\xa1\x0a\xc7\xeb\xd7\xd4\xd0\xd0\xd4\xda\xcf\xee\xc4\xbf\xce\xc4\xbc\xfe\xd6\xd0\xcc\xed\xbc\xd3\xba\xf3\xd6\xd8\xd0\xc2\xd6\xb4\xd0\xd0\xb1\xe0\xd2\xeb\xc3\xfc\xc1\xee\xa3\xa1";
// 项目文件--
inline constexpr char kFileListCaption[] = "\xcf\xee\xc4\xbf\xce\xc4\xbc\xfe--";
// 没找到以下文件：
inline constexpr char kFileMissing[] = "\xc3\xbb\xd5\xd2\xb5\xbd\xd2\xd4\xcf\xc2\xce\xc4\xbc\xfe\xa3\xba";
// 第
inline constexpr char kCaretLine[] = "\xb5\xda";
// 行,第
inline constexpr char kCaretColumn[] = "\xd0\xd0,\xb5\xda";
// 列
inline constexpr char kCaretEnd[] = "\xc1\xd0";
// 未找到编辑窗口，请打开文件
inline constexpr char kNoEditorHint[] = "\xce\xb4\xd5\xd2\xb5\xbd\xb1\xe0\xbc\xad\xb4\xb0\xbf\xda\xa3\xac\xc7\xeb\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe";

// 无法打开文件：
inline constexpr char kCannotOpen[] = "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xa3\xba";
// \n原因：
inline constexpr char kReasonLine[] = "\n\xd4\xad\xd2\xf2\xa3\xba";

// A file that cannot be read, as the workbench's boxes say it: the path, then the
// reason (GBK) on a line of its own.
inline std::string CannotOpenFile(const std::string& path, const std::string& gbkReason) {
  return TextNamingPath(kCannotOpen, path) + GbkToUtf8(kReasonLine + gbkReason);
}
// The class library's error for a file it cannot create, in its own (ASCII) words,
// naming the path and followed by the reason (GBK).
inline std::string CannotCreateFile(const std::string& path, const std::string& gbkReason) {
  return TextNamingPath("Cannot create file \"", path) + "\". " + GbkToUtf8(gbkReason);
}

}  // namespace wbtext
