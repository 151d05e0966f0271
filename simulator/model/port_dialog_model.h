#pragma once
// The peripheral dialog's logic: the table shown as 24 edit texts and read back all
// or nothing.

#include <array>
#include <string>

#include "machine/port_settings_file.h"

using TPortEditTexts = std::array<std::string, 24>;

TPortEditTexts PortTableToEditTexts(const TPortTable& table);

// Reads every text before changing anything. On success the table takes them all and
// the result is empty; otherwise the table is untouched and the result is the
// conversion error of the first bad text, in the dialog's reading order.
std::string ReadPortEditTexts(const TPortEditTexts& texts, TPortTable& table);
