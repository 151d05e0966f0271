#include "workbench/gui/print_document.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrinter>

#include "platform/file_names.h"
#include "platform/message_box.h"
#include "workbench/gui/text_file.h"

namespace {

void TellNoPrinter(QWidget* parent) {
  ShowMessage(parent, QStringLiteral("没有可用的打印机，未打印！\n可以在打印对话框中选择打印到文件 (PDF) 并指定文件名。"),
              kBoxError);
}

bool PrintToPdfFile(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer) {
  // Without a printer the toolkit falls back to PDF output with no file to write.
  const QString path = printer.outputFileName();
  if (path.isEmpty()) {
    TellNoPrinter(parent);
    return false;
  }
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
  return ReplaceFileOrTell(parent, FileSystemName(path), pdf.data().toStdString(), QStringLiteral("未能打印到文件："));
}

}  // namespace

void PreparePrinter(QPrinter& printer, const QString& sourcePath) {
  const QFileInfo source(sourcePath);
  printer.setDocName(source.fileName());
  if (printer.outputFormat() != QPrinter::PdfFormat) return;
  printer.setOutputFileName(sourcePath.isEmpty() ? QDir::current().filePath(QStringLiteral("print.pdf"))
                                                 : source.dir().filePath(source.completeBaseName() + QStringLiteral(".pdf")));
}

bool PrintEditorText(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer, const QString& sourcePath) {
  printer.setDocName(sourcePath);
  if (printer.outputFormat() == QPrinter::PdfFormat) return PrintToPdfFile(parent, memo, printer);
  if (!printer.isValid()) {
    TellNoPrinter(parent);
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
