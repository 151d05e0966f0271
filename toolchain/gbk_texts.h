#pragma once
// Every text of the toolchain that is not plain ASCII, as the GBK bytes the kit reads
// and writes. Sources stay UTF-8, so each string is spelled in escapes with its
// Chinese text in the comment beside it; a test converts each one through iconv and
// compares it with that text.

namespace gbk {

// ---- assembler: keywords, mnemonics, register names, pass messages, listing ----

// ---- end of assembler texts ----

// ---- object files, linker and driver ----

// ---- end of object file, linker and driver texts ----

}  // namespace gbk
