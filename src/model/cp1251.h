// Windows-1251, the single-byte Cyrillic code page of every file the program reads or
// writes. Inside the program texts are UTF-8; these functions convert at the file boundary.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rez {

// Total and lossless: each of the 256 byte values maps to one code point (the unassigned
// 0x98 to U+0098), so any byte string survives a decode/encode round trip.
std::string DecodeCp1251(std::string_view bytes);

// Why an encode failed: the first character without a Windows-1251 byte (or U+FFFD for a
// malformed UTF-8 sequence), and where it stands in the input.
struct Cp1251EncodeError {
    char32_t codePoint = 0;
    std::size_t byteOffset = 0;
};

// The Windows-1251 bytes of `utf8`, or nothing when a character has no byte in the code page.
std::optional<std::string> EncodeCp1251(std::string_view utf8, Cp1251EncodeError* error = nullptr);

// The byte for one code point, or nothing.
std::optional<unsigned char> Cp1251ByteOf(char32_t codePoint);

} // namespace rez
