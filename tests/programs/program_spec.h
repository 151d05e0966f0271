#pragma once
// What a test program expects, read from the "// setup ..." and "// expect ..."
// comment lines of its source (the assembler drops comments, so they cost nothing).
//
//   // setup port <entry> <hex port>        change one entry of the default port table
//   // setup key <decimal code>             a key press waiting before the run
//   // setup mouse <x> <y> <button>         a mouse press waiting before the run
//   // setup screen <width> <height>        the host's screen size (default 64 x 48)
//   // setup floppy | disk                  an empty temporary image opened in the drive
//   // expect R<n> | <special name> <hex>   a register's final value
//   // expect others zero                   every register not named above is zero
//   // expect mem <hex address> <hex bytes>
//   // expect floppy | disk <hex offset> <hex bytes>   bytes of the image after the run
//   // expect pixel <x> <y> <hex colour>    a pixel of the host screen (0xRRGGBB)
//   // expect timer <interval ms> on | off  the host's device timer
//   // expect failed                        the run ends with a failing step; otherwise
//                                           it ends when IP reaches the end of the code

#include <cstdint>
#include <string>
#include <vector>

#include "machine/value128.h"

struct TExpectedBytes {
  uint64_t Address = 0;
  std::vector<uint8_t> Bytes;
};

struct TProgramSpec {
  // Port table changes: entry index and port number.
  std::vector<std::pair<int, int32_t>> Ports;
  int Key = 0;
  bool HasMouse = false;
  int64_t MouseX = 0, MouseY = 0, MouseButton = 0;
  int ScreenWidth = 64, ScreenHeight = 48;
  bool Floppy = false, Disk = false;

  // Register expectations: general registers 0..255, special registers as 256 + n.
  std::vector<std::pair<int, Value128>> Registers;
  bool OthersZero = false;
  std::vector<TExpectedBytes> Memory, FloppyBytes, DiskBytes;
  struct Pixel {
    int X, Y;
    uint32_t Colour;
  };
  std::vector<Pixel> Pixels;
  bool ExpectTimer = false;
  uint32_t TimerInterval = 0;
  bool TimerOn = false;
  bool ExpectFailed = false;
};

// Reads the directives of a source text. A directive it cannot read is an error:
// false with a message naming the line.
bool ParseProgramSpec(const std::string& source, TProgramSpec& spec, std::string& error);

// The register number a name stands for in a spec: 0..255 for R<n>, 256 + n for the
// special register n, -1 for anything else.
int SpecRegisterNumber(const std::string& name);
