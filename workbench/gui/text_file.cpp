#include "workbench/gui/text_file.h"

#include "base/file_error.h"
#include "base/file_read.h"
#include "base/replacing_file.h"
#include "platform/file_names.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

QString Reason(int error) { return GbkToQString(FileErrorReason(error)); }

}  // namespace

QString EditorTextOf(const QString& fileText) {
  QString text = fileText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

std::optional<std::string> FileBytesOf(const QString& editorText) {
  QString text = editorText;
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return QStringToGbk(text);
}

std::optional<QString> ReadGbkTextFile(QWidget* parent, const std::string& path) {
  std::string bytes;
  int error = 0;
  if (!ReadRegularFile(path, bytes, &error)) {
    ShowMessage(parent, QStringLiteral("无法打开文件：") + ShownPath(path) + QStringLiteral("\n原因：") + Reason(error),
                kBoxError);
    return std::nullopt;
  }
  std::optional<QString> text = GbkToQStringStrict(bytes);
  if (!text) ShowMessage(parent, QStringLiteral("文件不是有效的GBK文本，未打开：") + ShownPath(path), kBoxError);
  return text;
}

bool WriteGbkTextFile(QWidget* parent, const std::string& path, const QString& text) {
  const std::optional<std::string> bytes = FileBytesOf(text);
  if (!bytes) {
    ShowMessage(parent, QStringLiteral("文本中含有不能用GBK编码表示的字符，未保存！"), kBoxError);
    return false;
  }
  return ReplaceFileOrTell(parent, path, *bytes, kFileNotSavedText);
}

bool ReplaceFileOrTell(QWidget* parent, const std::string& path, const std::string& bytes, const QString& failure) {
  int error = 0;
  if (ReplaceFile(path, bytes, &error, true)) return true;
  TellNotSaved(parent, failure, path, error);
  return false;
}

void TellNotSaved(QWidget* parent, const QString& failure, const std::string& path, int error) {
  ShowMessage(parent,
              failure + ShownPath(path) + QStringLiteral("\n原因：") + Reason(error) + QStringLiteral("\n磁盘上的文件未被改动。"),
              kBoxError);
}
