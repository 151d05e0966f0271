#include "workbench/gui/text_file.h"

#include <QStringList>

#include "base/file_error.h"
#include "base/file_read.h"
#include "base/kept_copy.h"
#include "base/replacing_file.h"
#include "platform/file_names.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

QString Reason(int error) { return GbkToQString(FileErrorReason(error)); }

// Where no copy of the old bytes could be kept: where it tried, and what still works.
QString NoKeptCopyHelp() {
  QStringList places;
  for (const std::string& place : KeptCopyPlaces()) places << ShownPath(place);
  return QStringLiteral("\n试过的备份位置：") + places.join(QStringLiteral("、")) +
         QStringLiteral("\n可以用“另存为”保存到其他文件夹。");
}

QString DiskState(const TWriteFailure& write) {
  if (!write.Changed) return QStringLiteral("磁盘上的文件未被改动。");
  if (write.KeptCopy.empty()) return QStringLiteral("磁盘上的文件可能已被改动。");
  return QStringLiteral("磁盘上的文件可能已被改动，原内容完整保存在：") + ShownPath(write.KeptCopy);
}

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
  TWriteFailure write;
  if (ReplaceFile(path, bytes, write, true)) return true;
  TellNotSaved(parent, failure, path, write);
  return false;
}

void TellNotSaved(QWidget* parent, const QString& failure, const std::string& path, const TWriteFailure& write) {
  const QString help = write.Error == kNoKeptCopy ? NoKeptCopyHelp() : QString();
  ShowMessage(parent,
              failure + ShownPath(path) + QStringLiteral("\n原因：") + Reason(write.Error) + help + QStringLiteral("\n") +
                  DiskState(write),
              kBoxError);
}
