#pragma once
// The project's two dialogs: the file list and the options.

#include <QCheckBox>
#include <QDialog>
#include <QListWidget>

#include "workbench/model/project.h"

class TFileDialogs;

class TFrmProject : public QDialog {
  Q_OBJECT
 public:
  TFrmProject(TFileDialogs* dialogs, QWidget* parent = nullptr);
  QListWidget* LstFileName;
  void BtnAddClick();
  void BtnDelClick();
  // 1 when a line holds exactly these bytes (letter case counts), else 0.
  int32_t IsInList(const std::string& entry) const;

 private:
  TFileDialogs* FileDialogs;
};

class TFrmProjectSetup : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmProjectSetup(QWidget* parent = nullptr);
  // ChkCommInfo, ChkWarning, ChkError, ChkList, ChkTvxbin, ChkHex, in flag order.
  QCheckBox* Checks[6];
};

// Runs the two dialogs for TProject.
class TGuiProjectDialogs : public TProjectDialogs {
 public:
  TGuiProjectDialogs(TFrmProject* fileList, TFrmProjectSetup* setup) : FileList(fileList), Setup(setup) {}
  bool EditFileList(const std::string& caption, std::vector<std::string>& files) override;
  bool EditSetup(uint8_t (&flags)[6]) override;

 private:
  TFrmProject* FileList;
  TFrmProjectSetup* Setup;
};
