#pragma once
// Pieces the memory and register windows share: labelled edits and the refresh timer
// bound to its edit and check box.

#include <functional>
#include <string>

#include "simulator/model/refresh_timer_model.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QTimer;
class QWidget;

// Runs a change of the machine in the order of the user's actions (the main window's
// run control); empty: at once.
using TInOrder = std::function<void(std::function<void()>)>;

void SetUpInspectWindow(QWidget* window, const char* caption);
// Runs `change` through inOrder while `window` still exists: it may wait behind a reset
// that is still reading its image.
void ChangeInOrder(const TInOrder& inOrder, QWidget* window, std::function<void()> change);
QLineEdit* AddLabelledEdit(QGridLayout* grid, int row, const char* label, const char* text);

void ReadRefreshTimer(TRefreshTimer& timer, const QLineEdit* seconds, const QCheckBox* autoBox);
// Starts the timer only when it should tick (ticked box, interval above 0).
void ApplyRefreshTimer(const TRefreshTimer& timer, QTimer* qtimer, QCheckBox* autoBox);

std::string EditText(const QLineEdit* edit);
void SetEditText(QLineEdit* edit, const std::string& text);
