// Writes an indexed picture as a complete GIF data stream in memory. The caller stores the
// bytes (the export layer writes them atomically); this library touches no file.
#pragma once

#include "indexed_picture.h"

#include <cstddef>
#include <string>

namespace rez {

// Entries in the colour table for a palette of `paletteSize` colours: the smallest power of
// two that holds it, at least 2 (the least a GIF colour table can have).
std::size_t ColorTableSize(std::size_t paletteSize);

// The GIF87a stream of `picture`: a logical screen of the picture's size with the palette as
// its global colour table (padded with black up to ColorTableSize), then one image covering
// the whole screen, not interlaced, with no local colour table, and the trailer. No extension
// blocks: no transparent colour, delay, comment or looping. Background colour index 0.
// The bytes are returned as a std::string, like every byte string of the project.
// Throws std::invalid_argument when `picture` breaks the IndexedPicture rules, and
// std::runtime_error with giflib's message should the encoder itself fail.
std::string EncodeGif(const IndexedPicture& picture);

} // namespace rez
