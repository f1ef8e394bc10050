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

// Distinct colours of a picture with one number each: first the colour's pixel count, later
// its palette index. Open addressing with linear probing, keyed by the 24-bit colour; the
// table doubles before it is half full, so a probe ends after a few slots.
class ColourTable {
public:
    struct Slot {
        RgbWord colour = Empty;
        // A pixel count cannot overflow: a picture has at most 65535 x 65535 < 2^32 pixels.
        std::uint32_t value = 0;

        bool Used() const { return colour != Empty; }
    };

    ColourTable()
        : slots_(MinSlots) {}

    // Adds `pixels` pixels of `colour`.
    void Add(RgbWord colour, std::uint32_t pixels) {
        Slot* slot = &Probe(colour);
        if (!slot->Used()) {
            if (2 * (size_ + 1) > slots_.size()) {
                Grow();
                slot = &Probe(colour);
            }
            slot->colour = colour;
            ++size_;
        }
        slot->value += pixels;
    }

    // The slot of `colour`, which must have been added.
    Slot& Find(RgbWord colour) { return Probe(colour); }

    std::size_t size() const { return size_; }
    const std::vector<Slot>& slots() const { return slots_; }

private:
    // No 24-bit colour has a top byte, so this word marks an unused slot.
    static constexpr RgbWord Empty = 0xFFFFFFFFu;
    static constexpr std::size_t MinSlots = 64; // a power of two, enough for a plain chart

    // The slot holding `colour`, or the unused slot where it belongs.
    Slot& Probe(RgbWord colour) {
        const std::size_t mask = slots_.size() - 1;
        // Fibonacci hashing: the multiply spreads every bit of the colour into the upper half,
        // so colours that differ in one channel only do not crowd together.
        std::size_t at =
            static_cast<std::size_t>((std::uint64_t{colour} * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (slots_[at].colour != colour && slots_[at].colour != Empty)
            at = (at + 1) & mask;
        return slots_[at];
    }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.Used())
                Probe(slot.colour) = slot;
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

// Counts the pixels of every colour of the picture. Pixels of a chart come in long runs of
// one colour, so each run is looked up once.
void CountColours(ColourTable& table, int width, int height, std::span<const RgbWord> pixels,
                  std::size_t stride) {
    const auto w = static_cast<std::size_t>(width);
    RgbWord runColour = pixels[0] & RgbMask;
    std::uint32_t runLength = 0;
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (const RgbWord pixel : pixels.subspan(row * stride, w)) {
            const RgbWord colour = pixel & RgbMask;
            if (colour != runColour) {
                table.Add(runColour, runLength);
                runColour = colour;
                runLength = 0;
            }
            ++runLength;
        }
    }
    table.Add(runColour, runLength);
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
    ColourTable table;
    CountColours(table, width, height, pixels, stride);

    // Only the distinct colours are ordered: the most frequent first, equal counts by colour
    // value. The colours are distinct, so the order is total and the palette is the same
    // whatever order the table holds them in.
    std::vector<ColourTable::Slot> byFrequency;
    byFrequency.reserve(table.size());
    for (const ColourTable::Slot& slot : table.slots())
        if (slot.Used())
            byFrequency.push_back(slot);
    const auto kept = static_cast<std::ptrdiff_t>(std::min(byFrequency.size(), MaxPaletteSize));
    std::partial_sort(byFrequency.begin(), byFrequency.begin() + kept, byFrequency.end(),
                      [](const ColourTable::Slot& a, const ColourTable::Slot& b) {
                          return a.value != b.value ? a.value > b.value : a.colour < b.colour;
                      });

    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    for (std::ptrdiff_t i = 0; i < kept; ++i)
        picture.palette.push_back(byFrequency[static_cast<std::size_t>(i)].colour);

    // The table's counts become palette indices: a kept colour's own position, any other
    // colour's nearest palette colour, found once per distinct colour. The cost is (distinct
    // colours) x (palette size) distance checks, small for any picture of a screen's size.
    for (std::size_t i = 0; i < byFrequency.size(); ++i) {
        const RgbWord colour = byFrequency[i].colour;
        table.Find(colour).value = i < static_cast<std::size_t>(kept)
                                       ? static_cast<std::uint32_t>(i)
                                       : NearestIndex(colour, picture.palette);
    }

    // Each pixel takes its colour's index, looked up once per run of equal pixels.
    const auto w = static_cast<std::size_t>(width);
    picture.indices.reserve(w * static_cast<std::size_t>(height));
    RgbWord runColour = pixels[0] & RgbMask;
    auto runIndex = static_cast<std::uint8_t>(table.Find(runColour).value);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        for (const RgbWord pixel : pixels.subspan(row * stride, w)) {
            const RgbWord colour = pixel & RgbMask;
            if (colour != runColour) {
                runColour = colour;
                runIndex = static_cast<std::uint8_t>(table.Find(colour).value);
            }
            picture.indices.push_back(runIndex);
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
