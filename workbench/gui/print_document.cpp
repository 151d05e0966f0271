#include "workbench/gui/print_document.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrinter>

#include "base/file_error.h"
#include "base/replacing_file.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

bool PrintToPdfFile(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer) {
  const QString path = printer.outputFileName();
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setPageLayout(printer.pageLayout());
    writer.setResolution(printer.resolution());
    writer.setTitle(printer.docName());
    writer.setCreator(printer.creator());
    memo->print(&writer);
  }
  int error = 0;
  if (path.isEmpty() || !ReplaceFile(QFile::encodeName(path).toStdString(), pdf.data().toStdString(), &error, true)) {
    const QString reason = path.isEmpty() ? QStringLiteral("没有指定文件名") : GbkToQString(FileErrorReason(error));
    ShowMessage(parent,
                QStringLiteral("未能打印到文件：") + path + QStringLiteral("\n原因：") + reason +
                    QStringLiteral("\n磁盘上的文件未被改动。"),
                kBoxError);
    return false;
  }
  return true;
}

}  // namespace

bool PrintEditorText(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) return PrintToPdfFile(parent, memo, printer);
  if (!printer.isValid()) {
    ShowMessage(parent,
                QStringLiteral("没有可用的打印机：") + printer.printerName() +
                    QStringLiteral("\n可以在打印对话框中选择打印到文件 (PDF)。"),
                kBoxError);
    return false;
  }
  memo->print(&printer);
  if (printer.printerState() == QPrinter::Error) {
    ShowMessage(parent, QStringLiteral("打印失败：打印机 ") + printer.printerName() + QStringLiteral(" 没有接受打印任务。"),
                kBoxError);
    return false;
  }
  return true;
}
