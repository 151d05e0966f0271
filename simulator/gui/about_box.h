#pragma once
// The static "about" box of the simulator.

#include <QDialog>

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
};
