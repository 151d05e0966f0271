#include "workbench/gui/file_dialogs.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const QString kSourceFilter = QStringLiteral("中文汇编文件(*.casm);;所有文件(*)");
const QString kProjectFilter = QStringLiteral("项目文件(*.tvxPrj);;所有文件(*)");
const QString kInfoFilter = QStringLiteral("文本信息文件(*.txt);;所有文件(*)");
const QString kListSourceFilter = QStringLiteral("源代码文件(*.casm);;所有文件(*)");

QString Run(QWidget* parent, bool save, const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

QString TQtFileDialogs::OpenSource(QWidget* p) { return Run(p, false, kSourceFilter, "casm"); }
QString TQtFileDialogs::SaveSource(QWidget* p) { return Run(p, true, kSourceFilter, "casm"); }
QString TQtFileDialogs::OpenProject(QWidget* p) { return Run(p, false, kProjectFilter, "tvxPrj"); }
QString TQtFileDialogs::SaveProject(QWidget* p) { return Run(p, true, kProjectFilter, "tvxPrj"); }
QString TQtFileDialogs::SaveInfo(QWidget* p) { return Run(p, true, kInfoFilter, "txt"); }
QString TQtFileDialogs::AddProjectSource(QWidget* p) { return Run(p, false, kListSourceFilter, "casm"); }

bool TQtFileDialogs::SetUpPage(QWidget* parent, QPrinter& printer) {
  QPageSetupDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool TQtFileDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  // No page numbers or selection to choose; every page of the source is printed.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile);
  dialog.setMinMax(1, 9999);
  return dialog.exec() == QDialog::Accepted;
}
