#pragma once
// The ten special registers as programs number them, their names in English and in
// Chinese (GBK), and the flag bits programs read in PSW and ICW.

#include <cstdint>

namespace isa {

enum SpecialRegister : uint8_t { BS, BO, DS, DO, IS, IP, PSW, ICW, SS, SP };

inline constexpr int kSpecialRegisterCount = 10;

struct SpecialRegisterName {
  const char* English;
  const char* Chinese;
};

// By special register number.
inline constexpr SpecialRegisterName kSpecialRegisterNames[kSpecialRegisterCount] = {
    {"BS", "\xbb\xf9\xd6\xb7\xb6\xce\xbc\xc4\xb4\xe6\xc6\xf7"},          // 基址段寄存器
    {"BO", "\xbb\xf9\xd6\xb7\xc6\xab\xd2\xc6\xbc\xc4\xb4\xe6\xc6\xf7"},  // 基址偏移寄存器
    {"DS", "\xca\xfd\xbe\xdd\xb6\xce\xbc\xc4\xb4\xe6\xc6\xf7"},          // 数据段寄存器
    {"DO", "\xca\xfd\xbe\xdd\xc6\xab\xd2\xc6\xbc\xc4\xb4\xe6\xc6\xf7"},  // 数据偏移寄存器
    {"IS", "\xd6\xb8\xc1\xee\xb6\xce\xbc\xc4\xb4\xe6\xc6\xf7"},          // 指令段寄存器
    {"IP", "\xd6\xb8\xc1\xee\xc6\xab\xd2\xc6\xbc\xc4\xb4\xe6\xc6\xf7"},  // 指令偏移寄存器
    {"PSW", "\xb3\xcc\xd0\xf2\xbf\xd8\xd6\xc6\xd7\xd6"},                 // 程序控制字
    {"ICW", "\xd6\xd0\xb6\xcf\xbf\xd8\xd6\xc6\xd7\xd6"},                 // 中断控制字
    {"SS", "\xb6\xd1\xd5\xbb\xb6\xce\xbc\xc4\xb4\xe6\xc6\xf7"},          // 堆栈段寄存器
    {"SP", "\xb6\xd1\xd5\xbb\xc6\xab\xd2\xc6\xbc\xc4\xb4\xe6\xc6\xf7"},  // 堆栈偏移寄存器
};

// Value bits of the flags in PSW and of the interrupt enable in ICW.
inline constexpr int kCarryBit = 127;
inline constexpr int kBorrowBit = 125;
inline constexpr int kLessBit = 124;
inline constexpr int kEqualBit = 123;
inline constexpr int kGreaterBit = 122;
inline constexpr int kInterruptEnableBit = 121;

}  // namespace isa
