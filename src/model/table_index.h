// Positions in the questionnaire's tables. The tables are std::arrays, indexed by
// std::size_t; loops over scales, rows and columns count in int, where differences and
// comparisons read naturally. At() is the one conversion between the two.
#pragma once

#include <cstddef>

namespace rez {

constexpr std::size_t At(int index) {
    return static_cast<std::size_t>(index);
}

} // namespace rez
