#pragma once
// The fixed layout both programs' About boxes share: the program icon beside a few
// lines of text, and one button that closes the box with the OK result.

class QDialog;
class QPushButton;
class QString;

QPushButton* LayOutAboutBox(QDialog* dialog, const QString& text, const QString& buttonText);
