#pragma once
// What a window's button or tick has to tell the user. The windows' logic returns it
// instead of showing anything; the Qt window shows it.

#include <string>

struct TViewMessage {
  enum class Kind {
    None,
    ConversionError,  // an edit is not a number: the application's exception report
    Warning,          // "系统提示" box, exclamation icon
    Error,            // "系统提示" box, error icon
  };
  Kind kind = Kind::None;
  std::string Text;  // GBK

  static TViewMessage Conversion(const std::string& text);
  static TViewMessage Warn(const std::string& text) { return {Kind::Warning, text}; }
  static TViewMessage Fail(const std::string& text) { return {Kind::Error, text}; }
  explicit operator bool() const { return kind != Kind::None; }
};
