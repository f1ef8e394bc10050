// A picture as a GIF stores it: one palette of at most 256 colours and one palette index per
// pixel. The two builders below turn the pixels a caller hands over (a rendered chart, usually
// 32-bit true colour) into that form; EncodeGif (gif_encoder.h) writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rez {

// Colours are 0xRRGGBB words. Input words may carry anything in the top byte (Qt's
// 0xAARRGGBB layout); the top byte is ignored, since a GIF of ours has no transparent colour.
using RgbWord = std::uint32_t;

// The largest width or height a GIF can record (16-bit fields), in pixels.
inline constexpr int MaxGifSide = 65535;
inline constexpr std::size_t MaxPaletteSize = 256;

struct IndexedPicture {
    int width = 0;                     // pixels, 1 to MaxGifSide
    int height = 0;                    // pixels, 1 to MaxGifSide
    std::vector<RgbWord> palette;      // 1 to 256 colours, top byte zero
    std::vector<std::uint8_t> indices; // width * height palette indices, row by row from the top
};

// The palette step for a true-colour picture. `pixels` holds `height` rows, each starting
// `stride` words after the previous one (stride >= width; the extra words are skipped).
// At most 256 distinct colours: each is kept exactly. More: the 256 most frequent colours form
// the palette and every other colour takes its nearest palette colour (least squared distance
// in RGB; of equally near ones, the more frequent). The palette is ordered from the most
// frequent colour down, equally frequent ones by colour value, so equal pictures give equal
// bytes. Throws std::invalid_argument for a size out of range or too few pixels.
IndexedPicture PictureFromTrueColor(int width, int height, std::span<const RgbWord> pixels,
                                    std::size_t stride);

// A picture of 8 bits per pixel or less keeps its own palette: entries, order and unused
// entries alike. `indices` is laid out like `pixels` above (stride in bytes, as Qt's
// bytesPerLine for an 8-bit picture). Throws std::invalid_argument for a size out of range,
// too few indices, a palette that is empty or longer than 256, or an index past its end.
IndexedPicture PictureFromIndexed(int width, int height, std::span<const std::uint8_t> indices,
                                  std::size_t stride, std::span<const RgbWord> palette);

} // namespace rez
