#include "gif_encoder.h"
#include "indexed_picture.h"

#include "gif_decode.h"
#include "param_name.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

namespace {

using rez::test::DecodeGif;
using rez::test::Pixels;

int Byte(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes.at(at));
}

int Word16(const std::string& bytes, std::size_t at) {
    return Byte(bytes, at) | (Byte(bytes, at + 1) << 8);
}

TEST(GifStream, HasTheGif87aLayoutWithNothingButOneImage) {
    // A scale-chart-sized picture of three colours: a four-entry table.
    const int width = 1019;
    const int height = 261;
    Pixels pixels(static_cast<std::size_t>(width * height), 0xC0C0C0u);
    pixels[5] = 0x800000u;
    pixels.back() = 0x0000FFu;
    const std::string gif = rez::EncodeGif(rez::PictureFromTrueColor(width, height, pixels, width));

    EXPECT_EQ(gif.substr(0, 6), "GIF87a");
    EXPECT_EQ(Word16(gif, 6), width);
    EXPECT_EQ(Word16(gif, 8), height);
    EXPECT_EQ(Byte(gif, 10), 0x80 | 0x70 | 0x01); // global table, 8-bit colour, 4 entries
    EXPECT_EQ(Byte(gif, 11), 0);                  // background index
    EXPECT_EQ(Byte(gif, 12), 0);                  // no aspect ratio
    const std::string table = gif.substr(13, 12);
    // Most frequent first; the two single pixels by colour value.
    EXPECT_EQ(table, std::string("\xC0\xC0\xC0\x00\x00\xFF\x80\x00\x00\x00\x00\x00", 12));
    // The image descriptor follows the table at once: no extension block comes first.
    EXPECT_EQ(Byte(gif, 25), 0x2C);
    EXPECT_EQ(Word16(gif, 26), 0);
    EXPECT_EQ(Word16(gif, 28), 0);
    EXPECT_EQ(Word16(gif, 30), width);
    EXPECT_EQ(Word16(gif, 32), height);
    EXPECT_EQ(Byte(gif, 34), 0); // no local table, not interlaced
    EXPECT_EQ(Byte(gif, 35), 2); // LZW minimum code size for a 4-entry table
    EXPECT_EQ(Byte(gif, gif.size() - 1), 0x3B);
    EXPECT_EQ(Byte(gif, gif.size() - 2), 0x00); // the image data's block terminator
    // A flat picture compresses: far fewer bytes than pixels.
    EXPECT_LT(gif.size(), pixels.size() / 20);
}

struct TableCase {
    const char* name;
    std::size_t palette;
    std::size_t table;
};
REZ_PRINT_CASE_BY_NAME(TableCase)

class ColourTable : public testing::TestWithParam<TableCase> {};

TEST_P(ColourTable, IsTheSmallestPowerOfTwoPaddedWithBlack) {
    const auto& c = GetParam();
    EXPECT_EQ(rez::ColorTableSize(c.palette), c.table);

    Pixels palette(c.palette);
    for (std::size_t i = 0; i < c.palette; ++i)
        palette[i] = 0xFFFFFFu - 0x010101u * static_cast<std::uint32_t>(i);
    std::vector<std::uint8_t> indices(c.palette);
    std::iota(indices.begin(), indices.end(), std::uint8_t{0});
    const int width = static_cast<int>(c.palette);
    const std::string gif =
        rez::EncodeGif(rez::PictureFromIndexed(width, 1, indices, c.palette, palette));

    EXPECT_EQ(std::size_t{1} << ((Byte(gif, 10) & 0x07) + 1), c.table);
    const auto decoded = DecodeGif(gif);
    ASSERT_EQ(decoded.globalTable.size(), c.table);
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), decoded.globalTable.begin()));
    EXPECT_TRUE(std::all_of(decoded.globalTable.begin() + static_cast<long>(c.palette),
                            decoded.globalTable.end(), [](std::uint32_t v) { return v == 0; }));
    EXPECT_EQ(decoded.indices, indices);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ColourTable,
    testing::Values(TableCase{"One", 1, 2}, TableCase{"Two", 2, 2}, TableCase{"Three", 3, 4},
                    TableCase{"Four", 4, 4}, TableCase{"Five", 5, 8}, TableCase{"Sixteen", 16, 16},
                    TableCase{"Seventeen", 17, 32}, TableCase{"OneTwentyEight", 128, 128},
                    TableCase{"OneTwentyNine", 129, 256}, TableCase{"Full", 256, 256}),
    rez::test::ByName());

struct RoundTripCase {
    const char* name;
    int width;
    int height;
    std::uint32_t colours; // distinct colours in the picture
};
REZ_PRINT_CASE_BY_NAME(RoundTripCase)

// Distinct colours for k = 0 to 255.
std::uint32_t StripeColour(std::uint32_t k) {
    return (k << 16) | ((255 - k) << 8) | (k * 7 & 0xFF);
}

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, DecodesToTheSamePixels) {
    const auto& c = GetParam();
    // Stripes and diagonals, so rows differ and LZW codes grow past their first widths.
    Pixels pixels;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            pixels.push_back(StripeColour(static_cast<std::uint32_t>(x / 3 + y) % c.colours));
    const auto picture = rez::PictureFromTrueColor(c.width, c.height, pixels, c.width);
    const std::string gif = rez::EncodeGif(picture);
    EXPECT_EQ(rez::EncodeGif(picture), gif) << "encoding is not repeatable";

    const auto decoded = DecodeGif(gif);
    EXPECT_EQ(decoded.signature, "GIF87a");
    EXPECT_EQ(decoded.screenWidth, c.width);
    EXPECT_EQ(decoded.screenHeight, c.height);
    EXPECT_EQ(decoded.imageCount, 1);
    EXPECT_EQ(decoded.extensionBlocks, 0);
    EXPECT_EQ(decoded.left, 0);
    EXPECT_EQ(decoded.top, 0);
    EXPECT_EQ(decoded.width, c.width);
    EXPECT_EQ(decoded.height, c.height);
    EXPECT_FALSE(decoded.interlaced);
    EXPECT_FALSE(decoded.localTable);
    EXPECT_TRUE(decoded.colours == pixels) << "pixels changed on the way";
}

INSTANTIATE_TEST_SUITE_P(Pictures, RoundTrip,
                         testing::Values(RoundTripCase{"ScaleChart", 1019, 261, 40},
                                         RoundTripCase{"FactorChart", 415, 257, 40},
                                         RoundTripCase{"Full256", 415, 257, 256},
                                         RoundTripCase{"OnePixel", 1, 1, 1},
                                         RoundTripCase{"OneRow", 700, 1, 3},
                                         RoundTripCase{"OneColumn", 1, 700, 200},
                                         RoundTripCase{"TwoColours", 33, 17, 2}),
                         rez::test::ByName());

int SquaredDistance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        sum += d * d;
    }
    return sum;
}

TEST(GifStream, DeepPictureWritesEveryPixelAsItsNearestTableColour) {
    // A smooth gradient of 415 x 257 distinct colours.
    const int width = 415;
    const int height = 257;
    Pixels pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<std::uint32_t>(
                (x * 255 / (width - 1)) << 16 | (y * 255 / (height - 1)) << 8 | ((x + y) % 256)));
    const auto decoded =
        DecodeGif(rez::EncodeGif(rez::PictureFromTrueColor(width, height, pixels, width)));
    ASSERT_EQ(decoded.globalTable.size(), 256u);
    ASSERT_EQ(decoded.colours.size(), pixels.size());
    for (std::size_t i = 0; i < pixels.size(); i += 97) {
        int best = SquaredDistance(pixels[i], decoded.globalTable[0]);
        for (const std::uint32_t entry : decoded.globalTable)
            best = std::min(best, SquaredDistance(pixels[i], entry));
        ASSERT_EQ(SquaredDistance(pixels[i], decoded.colours[i]), best) << "pixel " << i;
    }
}

struct BadPictureCase {
    const char* name;
    rez::IndexedPicture picture;
};
REZ_PRINT_CASE_BY_NAME(BadPictureCase)

class BadPicture : public testing::TestWithParam<BadPictureCase> {};

TEST_P(BadPicture, IsRefused) {
    EXPECT_THROW(rez::EncodeGif(GetParam().picture), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BadPicture,
    testing::Values(BadPictureCase{"Empty", {}}, BadPictureCase{"ZeroWidth", {0, 1, {0}, {}}},
                    BadPictureCase{"TooWide", {65536, 1, {0}, std::vector<std::uint8_t>(65536)}},
                    BadPictureCase{"NoPalette", {1, 1, {}, {0}}},
                    BadPictureCase{"PaletteTooLong", {1, 1, Pixels(257), {0}}},
                    BadPictureCase{"TooFewIndices", {2, 2, {0}, {0, 0, 0}}},
                    BadPictureCase{"TooManyIndices", {2, 1, {0}, {0, 0, 0}}},
                    // Index 2 would reach a black padding entry of the 4-entry table.
                    BadPictureCase{"IndexPastPalette", {2, 1, {0, 1, 2}, {0, 3}}}),
    rez::test::ByName());

} // namespace
