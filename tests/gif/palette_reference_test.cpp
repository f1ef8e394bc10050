// The palette step against a plain reference: the sort-everything algorithm the library used
// before its colour counting went through a hash table. Both must give the same palette and
// the same indices for every picture, and the GIF bytes of a few fixed pictures are pinned.
#include "gif_encoder.h"
#include "indexed_picture.h"

#include "gif_decode.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using rez::test::Pixels;

constexpr std::uint32_t RgbMask = 0x00FFFFFFu;

// ---- The reference: sort every pixel's colour, count equal neighbours, take the most
// frequent (ties by colour value), and give every pixel its nearest palette colour (its own,
// when kept).

struct Counted {
    std::uint32_t colour;
    std::size_t count;
};

int Channel(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFFu);
}

int SquaredDistance(std::uint32_t a, std::uint32_t b) {
    const int dr = Channel(a, 16) - Channel(b, 16);
    const int dg = Channel(a, 8) - Channel(b, 8);
    const int db = Channel(a, 0) - Channel(b, 0);
    return dr * dr + dg * dg + db * db;
}

std::uint8_t ReferenceNearest(std::uint32_t colour, const Pixels& palette) {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int distance = SquaredDistance(colour, palette[i]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

rez::IndexedPicture ReferencePalette(int width, int height, const Pixels& pixels,
                                     std::size_t stride) {
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    Pixels all;
    for (std::size_t row = 0; row < h; ++row)
        for (std::size_t x = 0; x < w; ++x)
            all.push_back(pixels[row * stride + x] & RgbMask);
    std::sort(all.begin(), all.end());
    std::vector<Counted> counts;
    for (const std::uint32_t colour : all) {
        if (counts.empty() || counts.back().colour != colour)
            counts.push_back({colour, 0});
        ++counts.back().count;
    }

    std::vector<Counted> byFrequency = counts;
    std::sort(byFrequency.begin(), byFrequency.end(), [](const Counted& a, const Counted& b) {
        return a.count != b.count ? a.count > b.count : a.colour < b.colour;
    });
    rez::IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    for (std::size_t i = 0; i < std::min(byFrequency.size(), rez::MaxPaletteSize); ++i)
        picture.palette.push_back(byFrequency[i].colour);
    for (std::size_t row = 0; row < h; ++row)
        for (std::size_t x = 0; x < w; ++x)
            picture.indices.push_back(
                ReferenceNearest(pixels[row * stride + x] & RgbMask, picture.palette));
    return picture;
}

// ---- Test pictures. Randomness comes from a fixed linear congruential generator so that the
// pictures, and so the pinned bytes, are the same on every platform and library.

class Lcg {
public:
    explicit Lcg(std::uint32_t seed)
        : state_(seed) {}
    // The next 32 pseudo-random bits.
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 32);
    }
    // 0 to n - 1.
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }

private:
    std::uint64_t state_;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::size_t stride = 0; // words from one row's start to the next
    Pixels pixels;
};

// `width` x `height` pixels with `padding` extra words per row of a colour found nowhere else
// (which must not be counted), every word's top byte set as Qt's RGB32 leaves it.
Picture Blank(int width, int height, std::size_t padding, std::uint32_t colour) {
    Picture p;
    p.width = width;
    p.height = height;
    p.stride = static_cast<std::size_t>(width) + padding;
    p.pixels.assign(p.stride * static_cast<std::size_t>(height), 0xFFABCDEFu);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels[static_cast<std::size_t>(y) * p.stride + static_cast<std::size_t>(x)] =
                0xFF000000u | colour;
    return p;
}

std::uint32_t& At(Picture& p, int x, int y) {
    return p.pixels[static_cast<std::size_t>(y) * p.stride + static_cast<std::size_t>(x)];
}

// A bar chart as the program draws one: white ground, grey grid lines, four flat bar colours
// with black outlines, and scattered black text-like pixels. Long runs, few colours.
Picture Chart(int width, int height, std::uint32_t seed) {
    Picture p = Blank(width, height, 3, 0xFFFFFF);
    Lcg random(seed);
    for (int y = 10; y < height - 20; y += 12)
        for (int x = 30; x < width - 5; ++x)
            At(p, x, y) = 0xFF808080u;
    const std::uint32_t bars[] = {0xFF0000u, 0xC0C0C0u, 0x0000FFu, 0x000080u};
    for (int x0 = 34, b = 0; x0 + 12 < width - 5; x0 += 12, b = (b + 1) % 4) {
        const int top = 10 + static_cast<int>(random.Below(static_cast<std::uint32_t>(height / 2)));
        for (int y = top; y < height - 20; ++y)
            for (int x = x0; x < x0 + 10; ++x) {
                const bool edge = y == top || x == x0 || x == x0 + 9;
                At(p, x, y) = edge ? 0x12000000u : (0xFF000000u | bars[b]);
            }
    }
    for (int i = 0; i < width * height / 40; ++i)
        At(p, static_cast<int>(random.Below(static_cast<std::uint32_t>(width))),
           static_cast<int>(random.Below(static_cast<std::uint32_t>(height)))) = 0xFF000000u;
    return p;
}

// A horizontal ramp of one colour per column (`width` colours, most more than 256), the top
// rows of every column replaced by white for 0 to 6 rows: many equal counts to order by value.
Picture Ramp(int width, int height) {
    Picture p = Blank(width, height, 0, 0xFFFFFF);
    for (int x = 0; x < width; ++x) {
        const auto u = static_cast<std::uint32_t>(x);
        const std::uint32_t colour = ((u / 4) << 16) | ((u % 4 * 60) << 8) | (255 - u / 4);
        for (int y = x % 7; y < height; ++y)
            At(p, x, y) = colour;
    }
    return p;
}

// Every pixel one of a few colours at random: runs of one or two pixels. 0xFFFFFFFF (white
// with a full top byte) is among them.
Picture FewColourNoise(int width, int height, std::uint32_t seed) {
    Picture p = Blank(width, height, 1, 0);
    Lcg random(seed);
    const std::uint32_t colours[] = {0xFFFFFFFFu, 0x00000000u, 0x7F00FF00u, 0x00123456u,
                                     0xFF123456u};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            At(p, x, y) = colours[random.Below(5)];
    return p;
}

// Every pixel of a random 24-bit colour, each colour repeated for a random run of 1 to 4
// pixels: nearly all colours distinct, so nearly every one takes its nearest palette colour.
Picture FullColourNoise(int width, int height, std::uint32_t seed) {
    Picture p = Blank(width, height, 2, 0);
    Lcg random(seed);
    std::uint32_t colour = 0;
    std::uint32_t left = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (left == 0) {
                colour = random.Next();
                left = 1 + random.Below(4);
            }
            --left;
            At(p, x, y) = colour;
        }
    return p;
}

// Colours that differ only in their high bits (multiples of 0x1000) in runs of 1 to 3 pixels,
// 4096 of them: crowds a table that hashed on low bits, and makes any table grow many times.
Picture HighBitColours(int width, int height, std::uint32_t seed) {
    Picture p = Blank(width, height, 0, 0);
    Lcg random(seed);
    std::uint32_t colour = 0;
    std::uint32_t left = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (left == 0) {
                colour = (random.Below(4096) << 12) | (random.Below(2) != 0 ? 0xFF000000u : 0);
                left = 1 + random.Below(3);
            }
            --left;
            At(p, x, y) = colour;
        }
    return p;
}

// 600 colours once each in one row: all equally frequent, so the 256 smallest values form the
// palette.
Picture EqualCounts() {
    Picture p = Blank(600, 1, 0, 0);
    for (int x = 0; x < 600; ++x)
        At(p, x, 0) = static_cast<std::uint32_t>(599 - x) * 0x00010203u;
    return p;
}

// Exactly 256 and 257 colours of differing frequencies: the largest picture kept exactly and
// the smallest that is not.
Picture Colours(int count) {
    Picture p = Blank(count, 3, 1, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < count; ++x) {
            const auto index = static_cast<std::uint32_t>(x * (y + 1) % count);
            At(p, x, y) = (index << 8) | (index * 37 & 0xFFu);
        }
    return p;
}

struct PictureCase {
    const char* name;
    std::function<Picture()> make;
};
REZ_PRINT_CASE_BY_NAME(PictureCase)

class SameAsReference : public testing::TestWithParam<PictureCase> {};

TEST_P(SameAsReference, PaletteAndIndices) {
    const Picture p = GetParam().make();
    const rez::IndexedPicture expected = ReferencePalette(p.width, p.height, p.pixels, p.stride);
    const rez::IndexedPicture actual =
        rez::PictureFromTrueColor(p.width, p.height, p.pixels, p.stride);
    EXPECT_EQ(actual.width, p.width);
    EXPECT_EQ(actual.height, p.height);
    EXPECT_EQ(actual.palette, expected.palette);
    EXPECT_TRUE(actual.indices == expected.indices) << "the pixels' palette indices differ";
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, SameAsReference,
    testing::Values(PictureCase{"OnePixel", [] { return Blank(1, 1, 0, 0xFFFFFFFFu); }},
                    PictureCase{"OneColour", [] { return Blank(37, 11, 5, 0x123456u); }},
                    PictureCase{"Chart", [] { return Chart(409, 157, 1); }},
                    PictureCase{"Ramp", [] { return Ramp(1019, 23); }},
                    PictureCase{"FewColourNoise", [] { return FewColourNoise(97, 61, 2); }},
                    PictureCase{"FullColourNoise", [] { return FullColourNoise(131, 77, 3); }},
                    PictureCase{"HighBitColours", [] { return HighBitColours(211, 97, 4); }},
                    PictureCase{"EqualCounts", EqualCounts},
                    PictureCase{"Colours256", [] { return Colours(256); }},
                    PictureCase{"Colours257", [] { return Colours(257); }}),
    rez::test::ByName());

// FNV-1a, 64 bits: a fingerprint of a GIF stream.
std::uint64_t Fingerprint(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string Encode(const Picture& p) {
    return rez::EncodeGif(rez::PictureFromTrueColor(p.width, p.height, p.pixels, p.stride));
}

TEST(PinnedEncodes, GifBytesAreUnchanged) {
    // Fingerprints and sizes of the streams written before the palette step was rewritten.
    struct Pinned {
        const char* name;
        Picture picture;
        std::size_t size;
        std::uint64_t fingerprint;
    };
    const Pinned pinned[] = {
        {"chart", Chart(1019, 261, 7), 22420, 0x79D6C6322B7F8CB8ull},
        {"ramp", Ramp(1019, 61), 27362, 0x505B1EE9D55CFE2Dull},
        {"full colour", FullColourNoise(173, 59, 11), 6624, 0x6DCAEC922BC1189Cull},
    };
    for (const Pinned& p : pinned) {
        const std::string gif = Encode(p.picture);
        EXPECT_EQ(gif.size(), p.size) << p.name;
        EXPECT_EQ(Fingerprint(gif), p.fingerprint) << p.name;
    }
}

} // namespace
