#pragma once
// The first bytes of every object file.

#include <cstddef>

inline constexpr char kQobjMagic[] = "QOBJ1\r\n";
constexpr size_t kQobjMagicSize = 7;
