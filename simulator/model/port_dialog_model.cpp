#include "simulator/model/port_dialog_model.h"

#include "simulator/model/number_text.h"

namespace {

// The order the dialog reads its edits: access addresses, write ports and control
// ports of floppy, hard disk, video, serial and parallel, then keyboard, mouse, timer.
constexpr int kReadOrder[24] = {2,  1,  0,  3,  4,  7,  6,  5,  8,  9,  12, 11,
                                10, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};

}  // namespace

TPortEditTexts PortTableToEditTexts(const TPortTable& table) {
  TPortEditTexts texts;
  for (size_t i = 0; i < table.size(); ++i) texts[i] = PortHexText(table[i]);
  return texts;
}

std::string ReadPortEditTexts(const TPortEditTexts& texts, TPortTable& table) {
  TPortTable read = table;
  for (int index : kReadOrder) {
    if (!ParseInt32Text(texts[index], read[index])) return IntegerErrorText(texts[index]);
  }
  table = read;
  return {};
}
