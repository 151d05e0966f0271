#pragma once
// The register-operation test window's logic: every button runs one core operation,
// with the numbers of its edits in the instruction's operand fields, and shows the
// register concerned. The texts are the window's edits; the Qt window copies them in
// before and out after every click. Every access to the core takes its lock.

#include <string>

#include "simulator/model/test_dialog_ops.h"
#include "simulator/model/view_message.h"

class TTALVOCPU;

class TRegOpModel {
 public:
  explicit TRegOpModel(TTALVOCPU* core = nullptr) : Core(core) {}

  TTALVOCPU* Core;
  std::string EditRegNum1 = "0";
  std::string EditReg1 = "0";
  std::string EditRegNum2 = "1";
  std::string EditReg2 = "0";
  std::string EditBin = "-";
  std::string EditRegOp1 = "0";
  std::string EditRegOp2 = "1";
  std::string EditRegResult = "2";
  std::string EditResultContent = "-";
  std::string EditDec = "-";
  std::string EditMemContent = "-";
  std::string EditAddr = "0";

  // One operation button: reads its edits, refuses negative numbers (and general
  // register numbers the operation would not check), runs the operation, shows the
  // outcome or the button's failure text.
  TViewMessage RunOp(TRegOp op);
  TViewMessage BtnGetResultClick();
  TViewMessage BtnLD1Click() { return LoadRegister(EditReg1, EditRegNum1); }
  TViewMessage BtnLD2Click() { return LoadRegister(EditReg2, EditRegNum2); }
  TViewMessage BtnOpFuncClick();
  TViewMessage BtnChgClick();
  TViewMessage BtnDecClick();

 private:
  TViewMessage LoadRegister(const std::string& decimal, const std::string& numberText);
};
