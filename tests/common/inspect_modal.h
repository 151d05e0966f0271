#pragma once
// Looks at a modal dialog that a call shows, and closes it, with an upper bound on the
// wait: a test whose dialog never shows fails instead of waiting for its timeout.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// The upper bound of the wait for a dialog: generous, for a loaded machine.
inline constexpr qint64 kModalPatienceMs = 30000;

// Runs `open`, which shows a modal dialog and returns once it is closed; `inspect`
// sees the dialog as soon as it shows, and the dialog is closed after (a message box
// by its first button). When none has
// shown within the bound the test fails at once, and every dialog up is closed so
// that `open` returns.
inline void InspectModal(const std::function<void()>& open, const std::function<void(QWidget*)>& inspect) {
  bool seen = false;
  bool gaveUp = false;
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!gaveUp && dialog != nullptr && dialog->isVisible()) {
      poll.stop();
      seen = true;
      inspect(dialog);
      if (auto* box = qobject_cast<QMessageBox*>(dialog))
        box->buttons().first()->click();
      else
        static_cast<QDialog*>(dialog)->reject();
      return;
    }
    if (clock.elapsed() < kModalPatienceMs) return;
    if (!gaveUp) ADD_FAILURE() << "no dialog showed within " << kModalPatienceMs / 1000 << " s";
    gaveUp = true;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* other = qobject_cast<QDialog*>(window); other != nullptr && other->isVisible()) other->reject();
    }
  });
  poll.start(10);
  open();
  if (!seen && !gaveUp) ADD_FAILURE() << "no dialog showed";
}
