// The scrambling of respondent files: every byte XOR the key letter at its position, the
// key restarting at the first byte of each file. It is its own inverse.
#pragma once

#include <string>
#include <string_view>

namespace rez {

inline constexpr std::string_view UnscrambleKey = "vetrak";

std::string UnscrambleText(std::string_view bytes);

// The same operation, named for the direction in which the sample tool uses it.
inline std::string ScrambleText(std::string_view bytes) {
    return UnscrambleText(bytes);
}

} // namespace rez
