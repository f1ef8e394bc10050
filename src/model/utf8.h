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

// A character that must not show raw in a message, a file name or a sheet name: the C0
// controls, DEL and the C1 controls, and the invisible and direction controls (the Arabic
// letter mark U+061C, zero-width and direction marks U+200B-U+200F, embeddings and overrides
// U+202A-U+202E, invisible operators U+2060-U+2064, isolates U+2066-U+2069, and U+FEFF), which
// would otherwise turn a name round on screen ("abc\u202egpj.exe" shows as "abcexe.jpg").
constexpr bool IsControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

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
