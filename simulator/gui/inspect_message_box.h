#pragma once
// Shows what the memory, register and test windows' logic has to tell the user:
// "系统提示" boxes with the right icon, and conversion errors the way the
// application reports an exception.

#include "simulator/model/view_message.h"

class QWidget;

void ShowViewMessage(QWidget* parent, const TViewMessage& message);
