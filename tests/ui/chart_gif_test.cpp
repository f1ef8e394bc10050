// The charts as GIF files: the real pictures of both charts in views 0 and 4, walked block by
// block and decoded back by giflib and by Qt's reader to exactly the rendered pixels.
#include "chart_picture.h"
#include "export_files.h"
#include "gif_decode.h"
#include "group_run.h"
#include "param_name.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

struct ChartCase {
    const char* name;
    bool scaleChart;
    rez::View view;
    QSize size;
};
REZ_PRINT_CASE_BY_NAME(ChartCase)

// Walks the stream's blocks: header, screen descriptor, global colour table, then exactly one
// image (descriptor, LZW data in sub-blocks) and the trailer, with no extension anywhere.
void ExpectSingleImageStream(const std::string& gif, QSize size) {
    ASSERT_GE(gif.size(), 13u);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(gif.at(i)); };
    EXPECT_EQ(gif.substr(0, 6), "GIF87a");
    EXPECT_EQ(byte(6) | byte(7) << 8, size.width());
    EXPECT_EQ(byte(8) | byte(9) << 8, size.height());
    ASSERT_TRUE(byte(10) & 0x80) << "global colour table";
    std::size_t pos = 13 + 3 * (std::size_t{2} << (byte(10) & 7));
    ASSERT_LT(pos, gif.size());
    ASSERT_EQ(byte(pos), 0x2C) << "an image descriptor follows the table, no extension";
    EXPECT_EQ(byte(pos + 1) | byte(pos + 2) << 8, 0);            // left
    EXPECT_EQ(byte(pos + 3) | byte(pos + 4) << 8, 0);            // top
    EXPECT_EQ(byte(pos + 5) | byte(pos + 6) << 8, size.width()); // image covers the screen
    EXPECT_EQ(byte(pos + 7) | byte(pos + 8) << 8, size.height());
    EXPECT_EQ(byte(pos + 9) & 0xC0, 0) << "no local table, not interlaced";
    pos += 10 + 1; // descriptor, LZW minimum code size
    while (pos < gif.size() && byte(pos) != 0)
        pos += 1 + byte(pos);
    ASSERT_LT(pos + 1, gif.size());
    EXPECT_EQ(byte(pos + 1), 0x3B) << "the trailer follows the only image";
    EXPECT_EQ(pos + 2, gif.size());
}

class ChartGif : public testing::TestWithParam<ChartCase> {};

TEST_P(ChartGif, DecodesToTheRenderedPixels) {
    const auto& c = GetParam();
    rez::LineBuffer buffer;
    const auto results = rez::RunGroup(std::string(REZ_SAMPLE_DATA_DIR) + "/Smirnov/", '.', buffer);
    const QImage picture = rez::RenderProfileChart(
        results, c.scaleChart ? rez::ChartKind::Scales : rez::ChartKind::PhasesAndFactors, c.view);
    ASSERT_EQ(picture.size(), c.size);
    const std::string gif = rez::EncodeChartGif(picture);
    ExpectSingleImageStream(gif, c.size);

    const rez::test::DecodedGif decoded = rez::test::DecodeGif(gif);
    EXPECT_EQ(decoded.imageCount, 1);
    EXPECT_EQ(decoded.extensionBlocks, 0);
    ASSERT_EQ(decoded.colours.size(), static_cast<std::size_t>(c.size.width() * c.size.height()));
    for (int y = 0; y < c.size.height(); ++y)
        for (int x = 0; x < c.size.width(); ++x)
            ASSERT_EQ(decoded.colours[static_cast<std::size_t>(y * c.size.width() + x)],
                      picture.pixel(x, y) & 0xFFFFFFu)
                << x << "," << y;

    const QImage read = QImage::fromData(QByteArray::fromStdString(gif), "GIF");
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), picture);
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ChartGif,
    testing::Values(ChartCase{"ScalesSelfOnly", true, rez::View::SelfOnly, {1019, 261}},
                    ChartCase{"ScalesAgainstMean", true, rez::View::Mean, {1019, 261}},
                    ChartCase{"FactorsSelfOnly", false, rez::View::SelfOnly, {415, 257}},
                    ChartCase{"FactorsAgainstMean", false, rez::View::Mean, {415, 257}}),
    rez::test::ByName());

} // namespace
