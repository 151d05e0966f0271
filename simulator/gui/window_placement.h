#pragma once
// Sizes and places the simulator's windows as its forms ask: centred on the desktop,
// and number edits wide enough for the numbers they take.

class QLineEdit;
class QWidget;

// Moves the window, at the size it will show with, to the centre of the desktop.
void CentreOnDesktop(QWidget* window);

// Makes the edit wide enough to show that many digits without scrolling.
void FitDigits(QLineEdit* edit, int digits);

// Decimal digits of the largest 128-bit value, 2^128 - 1.
constexpr int kDigits128 = 39;
