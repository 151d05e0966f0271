#pragma once
// The two register windows. Open one with `new TFrmCommonRegister(&core)` or
// `new TFrmSpecialRegisters(&core)` then show(): no owner, on top, refreshed on a
// timer, freed when closed (the core's ShowCommonRegisters / ShowSpecialRegisters do
// this through CoreHost::OpenCommonRegisters / OpenSpecialRegisters). A change of a
// register runs through `inOrder`.

#include <QWidget>
#include <functional>

#include "simulator/gui/inspect_window_parts.h"
#include "simulator/model/register_window_model.h"

class QCheckBox;
class QLineEdit;
class TLineView;
class QTimer;

class TFrmRegisterWindow : public QWidget {
 public:
  void FormShow();
  void BtnChgClick();
  void BtnFlashClick();
  void SBtnAutoClick();
  void ChkAutoClick();

  QLineEdit* EditNum = nullptr;
  QLineEdit* EditContent = nullptr;
  QLineEdit* EditTime = nullptr;
  QCheckBox* ChkAuto = nullptr;
  TLineView* Memo = nullptr;
  QTimer* Timer = nullptr;

 protected:
  TFrmRegisterWindow(TRegisterWindowModel::Kind kind, TTALVOCPU* core, TInOrder inOrder, QWidget* parent);
  void showEvent(QShowEvent* event) override;

 private:
  // Copies the edits into the model (then `asked` puts in those a change was asked
  // with), runs one action, shows its outcome.
  void Run(TViewMessage (TRegisterWindowModel::*action)(), const std::function<void()>& asked = {});

  TRegisterWindowModel model_;
  TInOrder inOrder_;
};

class TFrmCommonRegister : public TFrmRegisterWindow {
 public:
  explicit TFrmCommonRegister(TTALVOCPU* core, TInOrder inOrder = {}, QWidget* parent = nullptr)
      : TFrmRegisterWindow(TRegisterWindowModel::Kind::Common, core, std::move(inOrder), parent) {}
};

class TFrmSpecialRegisters : public TFrmRegisterWindow {
 public:
  explicit TFrmSpecialRegisters(TTALVOCPU* core, TInOrder inOrder = {}, QWidget* parent = nullptr)
      : TFrmRegisterWindow(TRegisterWindowModel::Kind::Special, core, std::move(inOrder), parent) {}
};
