#pragma once
// The frame's file dialogs behind one interface, so commands run without a
// display in tests. Each returns the chosen path, or an empty text when cancelled.

#include <QString>

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
};

// The real dialogs; the save dialogs confirm overwriting an existing file.
class TQtFileDialogs : public TFileDialogs {
 public:
  QString OpenSource(QWidget* parent) override;
  QString SaveSource(QWidget* parent) override;
  QString OpenProject(QWidget* parent) override;
  QString SaveProject(QWidget* parent) override;
  QString SaveInfo(QWidget* parent) override;
  QString AddProjectSource(QWidget* parent) override;
};
