// Minimal UTF-8 helpers for the Qt-free layers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rez {

// Decodes the code point that starts at `pos` and advances `pos` past it. Returns nothing
// (and advances by one byte) for a malformed, overlong or surrogate sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t codePoint);

// The first character of `text` as its own UTF-8 string (a malformed first byte alone).
std::string FirstCharacter(std::string_view text);

// A byte that continues a character (10xxxxxx) rather than starting one.
constexpr bool IsUtf8ContinuationByte(char byte) {
    constexpr unsigned char continuationMask = 0xC0;
    constexpr unsigned char continuationBits = 0x80;
    return (static_cast<unsigned char>(byte) & continuationMask) == continuationBits;
}

#ifdef _WIN32
// UTF-16 text from the Windows API as UTF-8; empty when it cannot be converted whole (a
// conversion that failed halfway would leave NUL bytes behind).
std::string Utf8FromWide(std::wstring_view text);
#endif

} // namespace rez
