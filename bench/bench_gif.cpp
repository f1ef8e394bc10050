// Encoding chart pictures as GIF: the two chart sizes the program saves, drawn like a chart
// (white ground, flat bar colours, grey grid lines, black text-like strokes, no
// antialiasing), and two pictures of more than 256 colours that go through the nearest-colour
// step. Each picture is timed whole (EncodeChartGif) and in its two steps: the palette step
// (PictureFromTrueColor) and the GIF stream (EncodeGif).
//
// With --write_pictures=DIR the program instead writes every picture as DIR/<name>.png and
// our encoding of it as DIR/<name>.gif, for comparison with other encoders.
#include "bench_report.h"

#include "export_files.h"
#include "gif_encoder.h"
#include "indexed_picture.h"

#include <benchmark/benchmark.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The flat colours of the charts.
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Red(0xFF, 0x00, 0x00);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Navy(0x00, 0x00, 0x80);
const QColor Black(0x00, 0x00, 0x00);
const QColor Grey(0x80, 0x80, 0x80);

// Side of one text-like glyph cell, in pixels (about an 8-point font's capitals).
constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;

// A glyph-like mark: two to four black strokes inside a 5 x 7 cell at (x, y).
void DrawGlyph(QPainter& p, int x, int y, std::mt19937& random) {
    std::uniform_int_distribution<int> strokes(2, 4), column(0, GlyphWidth - 1),
        row(0, GlyphHeight - 1), kind(0, 2);
    p.setPen(QPen(Black, 1));
    for (int n = strokes(random); n > 0; --n) {
        switch (kind(random)) {
        case 0: // vertical
            p.drawLine(x + column(random), y, x + column(random), y + GlyphHeight - 1);
            break;
        case 1: { // horizontal
            const int yy = y + row(random);
            p.drawLine(x, yy, x + GlyphWidth - 1, yy);
            break;
        }
        default: // slanted
            p.drawLine(x, y + GlyphHeight - 1, x + GlyphWidth - 1, y + row(random));
            break;
        }
    }
}

// A word of `letters` glyphs starting at (x, y), one pixel apart.
void DrawWord(QPainter& p, int x, int y, int letters, std::mt19937& random) {
    for (int i = 0; i < letters; ++i)
        DrawGlyph(p, x + i * (GlyphWidth + 1), y, random);
}

// A bar chart of `groups` groups of four bars (red, silver, blue, navy) with black outlines,
// grey grid lines, black axes and text-like labels under the groups and beside the grid.
QImage ChartPicture(int width, int height, int groups, unsigned seed) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(White);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    std::mt19937 random(seed);

    const int left = 40, right = width - 10, top = 14, bottom = height - 36;
    DrawWord(p, left, 3, 24, random); // title
    constexpr int GridSteps = 10;
    for (int i = 0; i <= GridSteps; ++i) {
        const int y = bottom - (bottom - top) * i / GridSteps;
        p.setPen(QPen(Grey, 1));
        p.drawLine(left, y, right, y);
        DrawWord(p, left - 4 - 3 * (GlyphWidth + 1), y - GlyphHeight / 2, 3, random);
    }

    const QColor barColours[] = {Red, Silver, Blue, Navy};
    const int groupWidth = (right - left) / groups;
    const int barWidth = std::max(2, (groupWidth - 6) / 4);
    std::uniform_int_distribution<int> value(GridSteps * 2, GridSteps * 9); // tenths of the axis
    for (int g = 0; g < groups; ++g) {
        const int x0 = left + g * groupWidth + 3;
        for (int b = 0; b < 4; ++b) {
            const int barHeight = (bottom - top) * value(random) / (GridSteps * 10);
            const QRect bar(x0 + b * barWidth, bottom - barHeight, barWidth, barHeight);
            p.fillRect(bar, barColours[b]);
            p.setPen(QPen(Black, 1));
            p.drawRect(bar.adjusted(0, 0, -1, -1));
        }
        DrawWord(p, x0, bottom + 6, std::min(4, std::max(1, groupWidth / (GlyphWidth + 1))),
                 random);
    }
    p.setPen(QPen(Black, 1));
    p.drawLine(left, top, left, bottom);
    p.drawLine(left, bottom, right, bottom);
    DrawWord(p, left + (right - left) / 3, height - 12, 30, random); // axis title
    return image;
}

// A horizontal gradient from red to blue: about one colour per column.
QImage LinearGradientPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, Red);
    gradient.setColorAt(1, Blue);
    p.fillRect(image.rect(), gradient);
    return image;
}

// The worst case for the nearest-colour step: red across, green down, blue changing along
// the diagonals, so nearly every pixel has a colour of its own.
QImage FullColourPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / (width - 1), y * 255 / (height - 1), (x + 3 * y) & 0xFF);
    }
    return image;
}

struct NamedPicture {
    std::string name;
    QImage image;
};

const std::vector<NamedPicture>& Pictures() {
    static const std::vector<NamedPicture> pictures = {
        {"chart_1019x261", ChartPicture(1019, 261, 31, 1)},
        {"chart_415x257", ChartPicture(415, 257, 8, 2)},
        {"gradient_1019x261", LinearGradientPicture(1019, 261)},
        {"fullcolour_1019x261", FullColourPicture(1019, 261)},
    };
    return pictures;
}

std::span<const rez::RgbWord> PixelsOf(const QImage& image) {
    const auto* words = reinterpret_cast<const rez::RgbWord*>(image.constBits());
    return {words, static_cast<std::size_t>(image.bytesPerLine()) / sizeof(rez::RgbWord) *
                       static_cast<std::size_t>(image.height())};
}

std::size_t StrideOf(const QImage& image) {
    return static_cast<std::size_t>(image.bytesPerLine()) / sizeof(rez::RgbWord);
}

void RegisterAll() {
    for (const NamedPicture& picture : Pictures()) {
        const QImage& image = picture.image;
        benchmark::RegisterBenchmark(("BM_EncodeChartGif/" + picture.name).c_str(),
                                     [&image](benchmark::State& state) {
                                         std::size_t bytes = 0;
                                         for (auto _ : state) {
                                             const std::string gif = rez::EncodeChartGif(image);
                                             bytes = gif.size();
                                             benchmark::DoNotOptimize(gif.data());
                                         }
                                         state.counters["gif_bytes"] = static_cast<double>(bytes);
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("BM_PaletteStep/" + picture.name).c_str(),
            [&image](benchmark::State& state) {
                for (auto _ : state) {
                    const rez::IndexedPicture indexed = rez::PictureFromTrueColor(
                        image.width(), image.height(), PixelsOf(image), StrideOf(image));
                    benchmark::DoNotOptimize(indexed.indices.data());
                }
            })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("BM_GifStream/" + picture.name).c_str(),
            [&image](benchmark::State& state) {
                const rez::IndexedPicture indexed = rez::PictureFromTrueColor(
                    image.width(), image.height(), PixelsOf(image), StrideOf(image));
                state.counters["colours"] = static_cast<double>(indexed.palette.size());
                for (auto _ : state)
                    benchmark::DoNotOptimize(rez::EncodeGif(indexed).data());
            })
            ->Unit(benchmark::kMillisecond);
    }
}

// Writes <name>.png and <name>.gif of every picture into `dir`. Returns false on a failure.
bool WritePictures(const QString& dir) {
    for (const NamedPicture& picture : Pictures()) {
        const QString base = dir + QLatin1Char('/') + QString::fromStdString(picture.name);
        if (!picture.image.save(base + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "cannot write %s.png\n", picture.name.c_str());
            return false;
        }
        const std::string gif = rez::EncodeChartGif(picture.image);
        QFile out(base + QStringLiteral(".gif"));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(gif.data(), static_cast<qint64>(gif.size())) !=
                static_cast<qint64>(gif.size())) {
            std::fprintf(stderr, "cannot write %s.gif\n", picture.name.c_str());
            return false;
        }
        std::printf("%s: %dx%d, %zu GIF bytes\n", picture.name.c_str(), picture.image.width(),
                    picture.image.height(), gif.size());
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    constexpr std::string_view WriteFlag = "--write_pictures=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(WriteFlag))
            return WritePictures(QString::fromUtf8(arg.substr(WriteFlag.size()))) ? 0 : 1;
    }
    RegisterAll();
    return rez::bench::RunBenchmarks(argc, argv, [](const rez::bench::FigureCollector&) {});
}
