#pragma once
// The big-integer calculator window "大整数计算". The main window creates one at
// start-up and shows it modally from its tools menu with exec(); the texts stay as
// they were left between showings.

#include <QDialog>

#include "simulator/model/calculator_model.h"

class QLabel;
class QLineEdit;

class TFrmAdd : public QDialog {
 public:
  explicit TFrmAdd(QWidget* parent = nullptr);

  void BtnAddClick();
  void BtnAbsClick();
  void BtnNotClick();
  void BtnNotCodeClick();
  void BtnMendCodeClick();

  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* EditResult = nullptr;
  QLineEdit* EditBin1 = nullptr;
  QLineEdit* EditBin2 = nullptr;
  QLineEdit* EditBinResult = nullptr;
  QLabel* LblOv = nullptr;

 private:
  // Every button reads all boxes into the model, runs, and writes them back.
  void Run(void (TBigCalc::*button)());

  TBigCalc calc_;
};
