#pragma once
// A one-line input box: caption, prompt and a value to edit, all GBK.

#include <functional>
#include <string>

class QWidget;

// False when cancelled; the value is then unchanged.
bool ShowInputBox(QWidget* parent, const std::string& gbkCaption, const std::string& gbkPrompt,
                  std::string& gbkValue);

// Tests answer the box themselves; an empty handler brings the real box back.
using TInputBoxHandler = std::function<bool(const std::string& gbkCaption,
                                            const std::string& gbkPrompt, std::string& gbkValue)>;
void SetInputBoxHandler(TInputBoxHandler handler);
