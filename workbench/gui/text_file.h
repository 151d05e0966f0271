#pragma once
// Text files as the windows keep them: GBK with CR LF on disk, Unicode with one
// line break per line in the controls. Reading takes regular files only; writing,
// of these and of any other file the windows save, replaces the file only once
// every byte is on the disk.

#include <QString>
#include <optional>
#include <string>

#include "base/file_error.h"

class QWidget;

// The text of a file as the editor shows it: line breaks CR LF, CR or LF become one.
QString EditorTextOf(const QString& fileText);
// The bytes the editor writes: CR LF line ends, GBK; nothing when not encodable.
std::optional<std::string> FileBytesOf(const QString& editorText);

// Paths are the file system's names (platform/file_names.h).

// The file's text, or nothing after telling the user why (it cannot be read, or
// it is not GBK text).
std::optional<QString> ReadGbkTextFile(QWidget* parent, const std::string& path);
// False after telling the user why (a character without GBK code, or the file
// could not be written in full) and what the disk holds.
bool WriteGbkTextFile(QWidget* parent, const std::string& path, const QString& text);

// Any file the windows write: false after telling the user `failure`, the path, why
// and what the disk holds.
bool ReplaceFileOrTell(QWidget* parent, const std::string& path, const std::string& bytes, const QString& failure);
// The box of a save that did not take place: `failure`, the path, the reason, and what
// the disk holds: the file as it was, or that it may be changed and where its whole old
// text is kept.
void TellNotSaved(QWidget* parent, const QString& failure, const std::string& path, const TWriteFailure& write);
// The text every save of a user's file begins its failure box with.
inline const QString kFileNotSavedText = QStringLiteral("文件未能保存：");
