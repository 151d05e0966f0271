#pragma once
// An editor window: one source in GBK with CR LF on disk, Unicode in the control.

#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <string>

#include "workbench/model/known_file.h"

class TFrmCode : public QWidget {
  Q_OBJECT
 public:
  explicit TFrmCode(QWidget* parent = nullptr);

  QPlainTextEdit* Memo;
  // The file system's name of the file shown, as its bytes; empty until first saved.
  std::string FileName;
  // The file under FileName as this editor last read or wrote it.
  TKnownFile DiskFile;

  // Reads the file; false (editor unchanged) when it cannot be read or is not GBK,
  // after telling the user why.
  bool LoadFile(const std::string& path);
  // Writes through a temporary file; false after telling the user why (a character
  // without GBK code, or a write error). The old file then stays whole. Asks nothing:
  // whether the file may be written over is the caller's question.
  bool SaveFile(const std::string& path);
  void UpdateCaption();
  bool IsModified() const { return Memo->document()->isModified(); }

  // Asks Save / Discard / Cancel about unsaved text; false when the user cancels
  // or the save fails.
  std::function<bool(TFrmCode*)> ConfirmClose;

 protected:
  void closeEvent(QCloseEvent* event) override;
};
