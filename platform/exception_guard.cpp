#include "platform/exception_guard.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "platform/gbk_qt.h"

void RunGuarded(QWidget* parent, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    // The messages of the kit's own errors are GBK; those of the library are ASCII,
    // which GBK leaves as it is.
    QMessageBox::critical(parent, QApplication::applicationName(), GbkToQString(error.what()));
  } catch (...) {
    // Anything else is shown as the library's exception with an empty message.
    QMessageBox::critical(parent, QApplication::applicationName(), QString());
  }
}
