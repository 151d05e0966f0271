#pragma once
// Modeless find and replace dialogs: the search runs forward, with letter case
// as the match-case box says.

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

class TFindDialog : public QDialog {
  Q_OBJECT
 public:
  TFindDialog(bool withReplace, QWidget* parent = nullptr);
  QLineEdit* FindText;
  QLineEdit* ReplaceText = nullptr;
  QCheckBox* MatchCase;

 signals:
  void Find();
  void Replace();
  void ReplaceAll();
};
