#pragma once
// The fixed "关于本软件" box.

#include <QDialog>

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};
