#include "indexed_picture.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace rez {

namespace {

constexpr RgbWord RgbMask = 0x00FFFFFFu;

// Checks the picture size and that `available` elements hold `height` rows of `stride`
// elements, the last of which needs only `width`.
void CheckLayout(int width, int height, std::size_t stride, std::size_t available) {
    if (width < 1 || height < 1 || width > MaxGifSide || height > MaxGifSide)
        throw std::invalid_argument("GIF picture size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is out of range");
    const auto w = static_cast<std::size_t>(width);
    if (stride < w)
        throw std::invalid_argument("GIF picture row stride is shorter than its width");
    if (available < stride * static_cast<std::size_t>(height - 1) + w)
        throw std::invalid_argument("GIF picture data is shorter than its size");
}

struct ColourCount {
    RgbWord colour = 0;
    std::size_t count = 0;
};

// Every distinct colour of the picture with its pixel count, ordered by colour value.
std::vector<ColourCount> CountColours(int width, int height, std::span<const RgbWord> pixels,
                                      std::size_t stride) {
    const auto w = static_cast<std::size_t>(width);
    std::vector<RgbWord> all;
    all.reserve(w * static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
        for (const RgbWord pixel : pixels.subspan(row * stride, w))
            all.push_back(pixel & RgbMask);
    std::sort(all.begin(), all.end());

    std::vector<ColourCount> counts;
    for (const RgbWord colour : all) {
        if (counts.empty() || counts.back().colour != colour)
            counts.push_back({colour, 0});
        ++counts.back().count;
    }
    return counts;
}

int Channel(RgbWord colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFFu);
}

int SquaredDistance(RgbWord a, RgbWord b) {
    const int dr = Channel(a, 16) - Channel(b, 16);
    const int dg = Channel(a, 8) - Channel(b, 8);
    const int db = Channel(a, 0) - Channel(b, 0);
    return dr * dr + dg * dg + db * db;
}

// The first palette entry of least distance; the palette runs from the most frequent colour
// down, so a tie goes to the more frequent colour. A palette colour finds itself.
std::uint8_t NearestIndex(RgbWord colour, const std::vector<RgbWord>& palette) {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size() && bestDistance > 0; ++i) {
        const int distance = SquaredDistance(colour, palette[i]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

} // namespace

IndexedPicture PictureFromTrueColor(int width, int height, std::span<const RgbWord> pixels,
                                    std::size_t stride) {
    CheckLayout(width, height, stride, pixels.size());
    const std::vector<ColourCount> counts = CountColours(width, height, pixels, stride);

    std::vector<ColourCount> byFrequency = counts;
    const auto kept = static_cast<std::ptrdiff_t>(std::min(counts.size(), MaxPaletteSize));
    std::partial_sort(byFrequency.begin(), byFrequency.begin() + kept, byFrequency.end(),
                      [](const ColourCount& a, const ColourCount& b) {
                          return a.count != b.count ? a.count > b.count : a.colour < b.colour;
                      });

    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    for (std::ptrdiff_t i = 0; i < kept; ++i)
        picture.palette.push_back(byFrequency[static_cast<std::size_t>(i)].colour);

    // One palette index per distinct colour, found once; pixels then look their colour up.
    // The cost is (distinct colours) x (palette size) distance checks, small for any picture
    // of a screen's size.
    std::vector<RgbWord> distinct;
    std::vector<std::uint8_t> indexOfDistinct;
    distinct.reserve(counts.size());
    indexOfDistinct.reserve(counts.size());
    for (const ColourCount& c : counts) {
        distinct.push_back(c.colour);
        indexOfDistinct.push_back(NearestIndex(c.colour, picture.palette));
    }

    const auto w = static_cast<std::size_t>(width);
    picture.indices.reserve(w * static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (const RgbWord pixel : pixels.subspan(row * stride, w)) {
            const auto at = std::lower_bound(distinct.begin(), distinct.end(), pixel & RgbMask);
            picture.indices.push_back(
                indexOfDistinct[static_cast<std::size_t>(at - distinct.begin())]);
        }
    }
    return picture;
}

IndexedPicture PictureFromIndexed(int width, int height, std::span<const std::uint8_t> indices,
                                  std::size_t stride, std::span<const RgbWord> palette) {
    CheckLayout(width, height, stride, indices.size());
    if (palette.empty() || palette.size() > MaxPaletteSize)
        throw std::invalid_argument("GIF palette of " + std::to_string(palette.size()) +
                                    " colours; 1 to 256 allowed");

    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    for (const RgbWord colour : palette)
        picture.palette.push_back(colour & RgbMask);

    const auto w = static_cast<std::size_t>(width);
    picture.indices.reserve(w * static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (const std::uint8_t index : indices.subspan(row * stride, w)) {
            if (index >= palette.size())
                throw std::invalid_argument("GIF pixel index " + std::to_string(index) +
                                            " lies past the palette");
            picture.indices.push_back(index);
        }
    }
    return picture;
}

} // namespace rez
