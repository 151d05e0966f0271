#pragma once
// The register-operation test window "TALVO128寄存器操作". Open one with
// `new TFrmRegOpDlg(&core)` then show(): no owner, on top, freed when closed (the
// core's ShowRegOpDialog does this through CoreHost::OpenTestDialog). Every window
// starts from the default texts.

#include <QWidget>

#include "simulator/model/test_dialog_model.h"

class QLineEdit;

class TFrmRegOpDlg : public QWidget {
 public:
  explicit TFrmRegOpDlg(TTALVOCPU* core, QWidget* parent = nullptr);

  void RunOp(TRegOp op);
  void BtnGetResultClick();
  void BtnLD1Click();
  void BtnLD2Click();
  void BtnOpFuncClick();
  void BtnChgClick();
  void BtnDecClick();

  QLineEdit* EditRegNum1 = nullptr;
  QLineEdit* EditReg1 = nullptr;
  QLineEdit* EditRegNum2 = nullptr;
  QLineEdit* EditReg2 = nullptr;
  QLineEdit* EditBin = nullptr;
  QLineEdit* EditRegOp1 = nullptr;
  QLineEdit* EditRegOp2 = nullptr;
  QLineEdit* EditRegResult = nullptr;
  QLineEdit* EditResultContent = nullptr;
  QLineEdit* EditDec = nullptr;
  QLineEdit* EditMemContent = nullptr;
  QLineEdit* EditAddr = nullptr;

 private:
  // Copies the edits into the model, runs one click, copies them back, shows the outcome.
  template <typename Action>
  void Run(Action action);

  TRegOpModel model_;
};
