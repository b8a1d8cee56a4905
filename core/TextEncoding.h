#pragma once
// Language files come from several editors: most write UTF-8, older ones write the Windows Western
// code page (Windows-1252). A file that is not valid UTF-8 is taken as Windows-1252 and converted.

#include <string>
#include <string_view>

namespace vm {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Converts Windows-1252 text to UTF-8. The five bytes the code page leaves unassigned keep their
// value as a code point (U+0081, U+008D, ...), as Windows itself converts them.
std::string Windows1252ToUtf8(std::string_view bytes);

} // namespace vm
