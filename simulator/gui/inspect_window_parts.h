#pragma once
// Pieces the memory and register windows share: labelled edits and the refresh timer
// bound to its edit and check box.

#include <string>

#include "simulator/model/refresh_timer_model.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QTimer;
class QWidget;

void SetUpInspectWindow(QWidget* window, const char* caption);
QLineEdit* AddLabelledEdit(QGridLayout* grid, int row, const char* label, const char* text);

void ReadRefreshTimer(TRefreshTimer& timer, const QLineEdit* seconds, const QCheckBox* autoBox);
// Starts the timer only when it should tick (ticked box, interval above 0).
void ApplyRefreshTimer(const TRefreshTimer& timer, QTimer* qtimer, QCheckBox* autoBox);

std::string EditText(const QLineEdit* edit);
void SetEditText(QLineEdit* edit, const std::string& text);
