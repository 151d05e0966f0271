#pragma once
// Modeless find and replace dialogs. Their option boxes are shown but the search
// is always forward and case-sensitive.

#include <QDialog>
#include <QLineEdit>

class TFindDialog : public QDialog {
  Q_OBJECT
 public:
  TFindDialog(bool withReplace, QWidget* parent = nullptr);
  QLineEdit* FindText;
  QLineEdit* ReplaceText = nullptr;

 signals:
  void Find();
  void Replace();
};
