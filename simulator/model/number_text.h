#pragma once
// Numbers typed into the simulator's edits. Integers follow the platform's
// text-to-integer rules: decimal, or hexadecimal after "$" or "0x"; floating-point
// numbers are read independent of the user's locale.

#include <cstdint>
#include <string>

bool ParseInt32Text(const std::string& text, int32_t& value);
bool ParseFloatText(const std::string& text, double& value);

// The conversion error the application reports for a text that is not a number.
std::string IntegerErrorText(const std::string& text);
std::string FloatErrorText(const std::string& text);

// "0x" and upper-case hexadecimal with at least two digits (32 gives "0x20").
std::string PortHexText(int32_t value);

// True when the text holds only the digits 0-9 (at least one).
bool IsDecimalDigits(const std::string& text);
