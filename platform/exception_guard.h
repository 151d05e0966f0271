#pragma once
// Qt lets no exception cross its event loop: every command runs through this guard,
// which shows what escaped the way the application's exception display does.

#include <exception>
#include <functional>

class QWidget;

void RunGuarded(QWidget* parent, const std::function<void()>& action);
// The application's exception display, for a command that goes on after an error.
void ShowException(QWidget* parent, const std::exception& error);
