// The file boundary between the program's UTF-8 text and Windows-1252 bytes.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// UTF-8 -> Windows-1252. False (out untouched) when a character has no
// Windows-1252 code or the text is not valid UTF-8.
bool ToWindows1252(std::string_view utf8, std::string& out);
// Windows-1252 -> UTF-8. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become U+FFFD.
std::string FromWindows1252(std::string_view bytes);
// True when the bytes are a valid UTF-8 text.
bool IsUtf8(std::string_view bytes);
// The first character of a UTF-8 text that has no Windows-1252 code, or empty.
std::string FirstUnencodable(std::string_view utf8);

}  // namespace velmora
