#pragma once
// The application's modal message boxes, caption "系统提示", with the flag values the
// programs pass: 0x30 warning and OK, 0x34 warning with Yes and No, 0x10 error and OK,
// 0x40 information and OK.

#include <functional>
#include <string>

class QWidget;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

constexpr int kBoxWarning = 0x30;
constexpr int kBoxWarningYesNo = 0x34;
// Save / Discard / Cancel questions about unsaved text.
constexpr int kBoxWarningYesNoCancel = 0x33;
constexpr int kBoxError = 0x10;
constexpr int kBoxInformation = 0x40;

class QString;

// Returns kIdOk, kIdYes, kIdNo or kIdCancel (closing a Yes/No/Cancel box cancels).
// Messages are built as Unicode text; only their GBK parts are converted.
int ShowMessage(QWidget* parent, const QString& text, int flags);
// The same box for one of the kit's GBK texts.
int ShowMessageBox(QWidget* parent, const std::string& gbkText, int flags);

// The application's exception display: an error box captioned with the application's
// name. Tests see it through the handler below with the error flags.
void ShowExceptionBox(QWidget* parent, const QString& text);

// The least width of a box whose caption must show whole in a window manager's
// title bar.
int CaptionRoomWidth(const QString& caption);

// Tests answer the boxes themselves; an empty handler brings the real box back.
using TMessageBoxHandler = std::function<int(const QString& text, int flags)>;
void SetMessageBoxHandler(TMessageBoxHandler handler);
