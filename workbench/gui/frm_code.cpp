#include "workbench/gui/frm_code.h"

#include <QCloseEvent>
#include <QFile>
#include <QFont>
#include <QSaveFile>
#include <QVBoxLayout>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"

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

bool TFrmCode::LoadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowMessage(this, QStringLiteral("无法打开文件：") + path, kBoxError);
    return false;
  }
  const QByteArray bytes = file.readAll();
  const std::optional<QString> text = GbkToQStringStrict(bytes.toStdString());
  if (!text) {
    ShowMessage(this, QStringLiteral("文件不是有效的GBK文本，未打开：") + path, kBoxError);
    return false;
  }
  Memo->setPlainText(EditorTextOf(*text));
  Memo->document()->setModified(false);
  FileName = path;
  return true;
}

bool WriteGbkTextFile(QWidget* parent, const QString& path, const QString& text) {
  const std::optional<std::string> bytes = FileBytesOf(text);
  if (!bytes) {
    ShowMessage(parent, QStringLiteral("文本中含有不能用GBK编码表示的字符，未保存！"), kBoxError);
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes->data(), static_cast<qint64>(bytes->size())) != static_cast<qint64>(bytes->size()) ||
      !file.commit()) {
    ShowMessage(parent, QStringLiteral("无法保存文件：") + path, kBoxError);
    return false;
  }
  return true;
}

bool TFrmCode::SaveFile(const QString& path) {
  if (!WriteGbkTextFile(this, path, Memo->toPlainText())) return false;
  Memo->document()->setModified(false);
  return true;
}

void TFrmCode::UpdateCaption() { setWindowTitle(FileName); }

void TFrmCode::closeEvent(QCloseEvent* event) {
  if (IsModified() && ConfirmClose && !ConfirmClose(this)) {
    event->ignore();
    return;
  }
  event->accept();
}
