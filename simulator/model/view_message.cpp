#include "simulator/model/view_message.h"

#include "simulator/model/number_text.h"

TViewMessage TViewMessage::Conversion(const std::string& text) {
  return {Kind::ConversionError, IntegerErrorText(text)};
}
