#include "workbench/gui/frm_code.h"

#include <QCloseEvent>
#include <QFont>
#include <QVBoxLayout>

#include "platform/file_names.h"
#include "workbench/gui/text_file.h"

TFrmCode::TFrmCode(QWidget* parent) : QWidget(parent), Memo(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("FrmCode"));
  setWindowTitle(QStringLiteral("编写代码窗口"));
  Memo->setObjectName(QStringLiteral("Memo"));
  Memo->setFont(QFont(QStringLiteral("SimSun"), 9));
  Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo);
}

bool TFrmCode::LoadFile(const std::string& path) {
  // Looked at before the read: a change while it is read is then a change too.
  TKnownFile read;
  read.Remember(path);
  const std::optional<QString> text = ReadGbkTextFile(this, path);
  if (!text) return false;
  Memo->setPlainText(EditorTextOf(*text));
  Memo->document()->setModified(false);
  FileName = path;
  DiskFile = read;
  return true;
}

bool TFrmCode::SaveFile(const std::string& path) {
  if (!WriteGbkTextFile(this, path, Memo->toPlainText())) return false;
  Memo->document()->setModified(false);
  DiskFile.Remember(path);
  return true;
}

void TFrmCode::UpdateCaption() { setWindowTitle(ShownPath(FileName)); }

void TFrmCode::closeEvent(QCloseEvent* event) {
  if (IsModified() && ConfirmClose && !ConfirmClose(this)) {
    event->ignore();
    return;
  }
  event->accept();
}
