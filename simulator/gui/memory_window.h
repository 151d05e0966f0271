#pragma once
// The memory window "内存编辑器". Open one with `new TFrmViewMemory(&core)` then
// show(): it has no owner, stays on top, refreshes itself and deletes itself when
// closed (the core's ShowMemoryView does this through CoreHost::OpenMemoryView). Its
// change of memory runs through `inOrder`.

#include <QWidget>
#include <functional>

#include "simulator/gui/inspect_window_parts.h"
#include "simulator/model/memory_view_model.h"

class QCheckBox;
class QLineEdit;
class TLineView;
class QTimer;

class TFrmViewMemory : public QWidget {
 public:
  explicit TFrmViewMemory(TTALVOCPU* core, TInOrder inOrder = {}, QWidget* parent = nullptr);

  void FormShow();
  void BtnApplyEditClick();
  void SBtnTimerClick();
  void ChkAutoClick() { SBtnTimerClick(); }

  QLineEdit* EditMemAddress = nullptr;
  QLineEdit* EditMemLen = nullptr;
  QLineEdit* EditMemChgAddr = nullptr;
  QLineEdit* EditMemContent = nullptr;
  QLineEdit* EditSec = nullptr;
  QCheckBox* ChkAuto = nullptr;
  TLineView* Memo = nullptr;
  QTimer* TimerFlash = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Copies the edits into the model (then `asked` puts in those a change was asked
  // with), runs one action, shows its outcome.
  void Run(TViewMessage (TMemoryViewModel::*action)(), const std::function<void()>& asked = {});

  TMemoryViewModel model_;
  TInOrder inOrder_;
};
