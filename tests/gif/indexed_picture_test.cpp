#include "indexed_picture.h"

#include "gif_decode.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace {

using rez::test::Pixels;

// Every pixel's palette colour, row by row.
Pixels ColoursOf(const rez::IndexedPicture& picture) {
    Pixels out;
    for (const std::uint8_t index : picture.indices)
        out.push_back(picture.palette.at(index));
    return out;
}

TEST(PaletteStep, RunsFromTheMostFrequentColourDown) {
    // Counts: 0x30 x1, 0x20 x3, 0x10 x2, 0x05 x2; equal counts by colour value.
    const Pixels pixels{0x30, 0x20, 0x10, 0x20, 0x05, 0x10, 0x20, 0x05};
    const auto picture = rez::PictureFromTrueColor(4, 2, pixels, 4);
    EXPECT_EQ(picture.palette, (Pixels{0x20, 0x05, 0x10, 0x30}));
}

TEST(PaletteStep, IgnoresTheTopByte) {
    const Pixels pixels{0xFF123456u, 0x00123456u, 0x80123456u, 0xFF000000u};
    const auto picture = rez::PictureFromTrueColor(2, 2, pixels, 2);
    EXPECT_EQ(picture.palette, (Pixels{0x123456u, 0x000000u}));
    EXPECT_EQ(picture.indices, (std::vector<std::uint8_t>{0, 0, 0, 1}));
}

TEST(PaletteStep, SkipsTheRowPadding) {
    // Two rows of two pixels, each row padded by one word of a colour that must not count.
    const Pixels pixels{1, 2, 0xABCDEF, 3, 1, 0xABCDEF};
    const auto picture = rez::PictureFromTrueColor(2, 2, pixels, 3);
    EXPECT_EQ(ColoursOf(picture), (Pixels{1, 2, 3, 1}));
    EXPECT_EQ(picture.palette.size(), 3u);
}

// The 256 colours of a 16 x 16 grid in red and green, 16 apart; each used twice and
// (16,0,0) three times, so that it wins ties.
std::uint32_t GridColour(int i) {
    return (static_cast<std::uint32_t>(i % 16 * 16) << 16) |
           (static_cast<std::uint32_t>(i / 16 * 16) << 8);
}

TEST(PaletteStep, OverFullPictureKeepsTheMostFrequentAndMapsTheRestToTheNearest) {
    Pixels pixels;
    for (int i = 0; i < 256; ++i)
        pixels.insert(pixels.end(), i == 1 ? 3 : 2, GridColour(i));
    struct Rare {
        std::uint32_t colour;
        std::uint32_t nearest;
    };
    const std::vector<Rare> rare{
        {0x050300, 0x000000}, // (5,3,0) lies nearest the origin
        {0x0D0300, 0x100000}, // (13,3,0) nearer (16,0,0)
        {0x080000, 0x100000}, // halfway between (0,0,0) and (16,0,0): the more frequent
        {0x180008, 0x100000}, // halfway between (16,0,0) and (32,0,0)
        {0x280800, 0x200000}, // halfway between (32,0,0) and (48,0,0), (32,16,0), (48,16,0):
                              // equally frequent, so the smaller colour value
        {0xFFFFFF, 0xF0F000}, // white: the grid's far corner
        {0xF4EF7F, 0xF0F000}, // blue is off the grid for every colour
    };
    for (const Rare& r : rare)
        pixels.push_back(r.colour);

    const int width = static_cast<int>(pixels.size());
    const auto picture = rez::PictureFromTrueColor(width, 1, pixels, pixels.size());
    ASSERT_EQ(picture.palette.size(), 256u);
    EXPECT_EQ(picture.palette.front(), GridColour(1));
    std::set<std::uint32_t> grid;
    for (int i = 0; i < 256; ++i)
        grid.insert(GridColour(i));
    EXPECT_EQ(std::set<std::uint32_t>(picture.palette.begin(), picture.palette.end()), grid);

    const Pixels written = ColoursOf(picture);
    const std::size_t firstRare = pixels.size() - rare.size();
    EXPECT_TRUE(
        std::equal(pixels.begin(), pixels.begin() + static_cast<long>(firstRare), written.begin()));
    for (std::size_t i = 0; i < rare.size(); ++i)
        EXPECT_EQ(written[firstRare + i], rare[i].nearest)
            << "rare colour " << std::hex << rare[i].colour;
}

TEST(IndexedInput, KeepsItsOwnPaletteWholeAndInOrder) {
    // Duplicate and unused entries stay; only the top byte goes.
    const Pixels palette{0xFF00FF00u, 0x00112233u, 0xFF00FF00u, 0x7F445566u, 0x000000u};
    const std::vector<std::uint8_t> indices{3, 0, 2, 9, 2, 3, 0, 9};
    const auto picture = rez::PictureFromIndexed(3, 2, indices, 4, palette);
    EXPECT_EQ(picture.palette, (Pixels{0x00FF00u, 0x112233u, 0x00FF00u, 0x445566u, 0x000000u}));
    EXPECT_EQ(picture.indices, (std::vector<std::uint8_t>{3, 0, 2, 2, 3, 0}));
}

TEST(IndexedInput, RefusesBadPalettes) {
    const std::vector<std::uint8_t> indices{0, 1, 2, 3};
    EXPECT_THROW(rez::PictureFromIndexed(4, 1, indices, 4, Pixels{1, 2, 3}), std::invalid_argument);
    EXPECT_THROW(rez::PictureFromIndexed(4, 1, indices, 4, Pixels{}), std::invalid_argument);
    EXPECT_THROW(rez::PictureFromIndexed(4, 1, indices, 4, Pixels(257, 0)), std::invalid_argument);
    EXPECT_NO_THROW(rez::PictureFromIndexed(4, 1, indices, 4, Pixels(256, 0)));
}

struct LayoutCase {
    const char* name;
    int width;
    int height;
    std::size_t stride;
    std::size_t available;
    bool valid;
};
REZ_PRINT_CASE_BY_NAME(LayoutCase)

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, IsCheckedByBothBuilders) {
    const auto& c = GetParam();
    const Pixels pixels(c.available, 0x123456u);
    const std::vector<std::uint8_t> indices(c.available, 0);
    const Pixels palette{0};
    if (c.valid) {
        EXPECT_EQ(rez::PictureFromTrueColor(c.width, c.height, pixels, c.stride).indices.size(),
                  static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
        EXPECT_NO_THROW(rez::PictureFromIndexed(c.width, c.height, indices, c.stride, palette));
    } else {
        EXPECT_THROW(rez::PictureFromTrueColor(c.width, c.height, pixels, c.stride),
                     std::invalid_argument);
        EXPECT_THROW(rez::PictureFromIndexed(c.width, c.height, indices, c.stride, palette),
                     std::invalid_argument);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Layout,
                         testing::Values(LayoutCase{"ZeroWidth", 0, 5, 4, 100, false},
                                         LayoutCase{"ZeroHeight", 5, 0, 5, 100, false},
                                         LayoutCase{"NegativeWidth", -3, 2, 4, 100, false},
                                         LayoutCase{"WiderThanGif", 65536, 1, 65536, 65536, false},
                                         LayoutCase{"TallerThanGif", 1, 65536, 1, 65536, false},
                                         LayoutCase{"StrideBelowWidth", 4, 2, 3, 100, false},
                                         LayoutCase{"OnePixelShort", 4, 3, 6, 15, false},
                                         LayoutCase{"LastRowNeedsNoPadding", 4, 3, 6, 16, true},
                                         LayoutCase{"WidestGif", 65535, 1, 65535, 65535, true},
                                         LayoutCase{"TallestGif", 1, 65535, 1, 65535, true}),
                         rez::test::ByName());

} // namespace
