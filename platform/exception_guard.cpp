#include "platform/exception_guard.h"

#include <QString>

#include "platform/message_box.h"

void ShowException(QWidget* parent, const std::exception& error) {
  // The messages of the kit's own errors are UTF-8; those of the library are ASCII.
  ShowExceptionBox(parent, QString::fromUtf8(error.what()));
}

void RunGuarded(QWidget* parent, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    ShowException(parent, error);
  } catch (...) {
    // Anything else is shown as the library's exception with an empty message.
    ShowExceptionBox(parent, QString());
  }
}
