#include "simulator/gui/inspect_window_parts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

void SetUpInspectWindow(QWidget* window, const char* caption) {
  window->setWindowTitle(QString::fromUtf8(caption));
  window->setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
  window->setAttribute(Qt::WA_DeleteOnClose);
}

void ChangeInOrder(const TInOrder& inOrder, QWidget* window, std::function<void()> change) {
  if (!inOrder) {
    change();
    return;
  }
  inOrder([window = QPointer<QWidget>(window), change = std::move(change)] {
    if (window) change();
  });
}

QLineEdit* AddLabelledEdit(QGridLayout* grid, int row, const char* label, const char* text) {
  auto* edit = new QLineEdit(QString::fromUtf8(text));
  grid->addWidget(new QLabel(QString::fromUtf8(label)), row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

void ReadRefreshTimer(TRefreshTimer& timer, const QLineEdit* seconds, const QCheckBox* autoBox) {
  timer.SecondsText = EditText(seconds);
  timer.Auto = autoBox->isChecked();
}

void ApplyRefreshTimer(const TRefreshTimer& timer, QTimer* qtimer, QCheckBox* autoBox) {
  autoBox->setChecked(timer.Auto);
  if (!timer.Running()) {
    qtimer->stop();
    return;
  }
  if (!qtimer->isActive() || qtimer->interval() != timer.IntervalMs) qtimer->start(timer.IntervalMs);
}

std::string EditText(const QLineEdit* edit) { return edit->text().toStdString(); }

void SetEditText(QLineEdit* edit, const std::string& text) { edit->setText(QString::fromStdString(text)); }
