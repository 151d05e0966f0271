#pragma once
// Qt lets no exception cross its event loop: every command runs through this guard,
// which shows what escaped the way the application's exception display does.

#include <functional>

class QWidget;

void RunGuarded(QWidget* parent, const std::function<void()>& action);
