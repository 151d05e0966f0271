#pragma once
// The peripheral dialog: the 24 device port numbers in eight rows of three edits.

#include <QDialog>

#include "simulator/model/port_dialog_model.h"

class QLineEdit;

class TFrmPeripSetup : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmPeripSetup(QWidget* parent = nullptr);

  // Fills the edits; Table() returns it until Yes reads the edits back.
  void SetTable(const TPortTable& table);
  const TPortTable& Table() const { return table_; }
  // Yes: all edits or none. A bad edit is reported and the dialog stays open.
  void BtnYesClick();

  QLineEdit* Edit(int index) const { return edits_[index]; }

 private:
  QLineEdit* edits_[24] = {};
  TPortTable table_ = DefaultPortTable();
};
