#pragma once
// The frame's common dialogs behind one interface, so commands run without a
// display in tests. The file dialogs return the chosen path, or an empty text when
// cancelled; the printer dialogs set up the printer and return false when cancelled.

#include <QString>

class QPrinter;
class QWidget;

class TFileDialogs {
 public:
  virtual ~TFileDialogs() = default;
  virtual QString OpenSource(QWidget* parent) = 0;
  virtual QString SaveSource(QWidget* parent) = 0;
  virtual QString OpenProject(QWidget* parent) = 0;
  virtual QString SaveProject(QWidget* parent) = 0;
  virtual QString SaveInfo(QWidget* parent) = 0;
  // The file-list dialog's own open dialog ("源代码文件" filter).
  virtual QString AddProjectSource(QWidget* parent) = 0;
  virtual bool SetUpPage(QWidget* parent, QPrinter& printer) = 0;
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The real dialogs; the save dialogs confirm overwriting an existing file, and the
// print dialog offers printing to a PDF file, the one way to print on a machine
// without a printer.
class TQtFileDialogs : public TFileDialogs {
 public:
  QString OpenSource(QWidget* parent) override;
  QString SaveSource(QWidget* parent) override;
  QString OpenProject(QWidget* parent) override;
  QString SaveProject(QWidget* parent) override;
  QString SaveInfo(QWidget* parent) override;
  QString AddProjectSource(QWidget* parent) override;
  bool SetUpPage(QWidget* parent, QPrinter& printer) override;
  bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
};
