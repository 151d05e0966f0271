#pragma once
// The CPU setup dialog: memory, disk and BIOS configuration and its ".setting" files.

#include <QDialog>
#include <functional>
#include <string>

#include "simulator/model/cpu_setup_model.h"

class QLineEdit;
class QPushButton;

class TFrmCPUSetup : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmCPUSetup(QWidget* parent = nullptr);

  // Run by Yes once every edit has passed its check, before the dialog closes.
  std::function<void(const TAppliedSetup&)> OnYes;

  // False (after telling the user) when an edit holds a character GBK cannot encode.
  bool ReadEdits(TSettingItems& out);
  void SetEdits(const TSettingItems& edits);

  int SaveCPUSetting(const std::string& path);
  int LoadCPUSetting(const std::string& path);
  int SaveDefaultSetting();
  int LoadDefaultSetting();
  void RefreshCPUSetup();

  void BitBtn1Click();
  void BtnSaveDefaultClick();
  void BtnSaveSettingClick();
  void LoadSettingBtnClick();

  QLineEdit* Edit(int line) const { return edits_[line]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Browse(int line, const QString& filter, const QString& suffix);

  QLineEdit* edits_[7] = {};
};
