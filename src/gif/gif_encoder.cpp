#include "gif_encoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace rez {

namespace {

// giflib hands the encoded bytes here; the user pointer is the output string.
int AppendToString(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<std::string*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    return length;
}

struct ColorMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Closing writes the trailer and frees the encoder; on an early exit the partial stream is
// thrown away with the string that holds it.
struct EncoderCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

[[noreturn]] void ThrowGifError(const char* step, int error) {
    const char* text = GifErrorString(error);
    throw std::runtime_error(std::string("GIF encoder failed at ") + step + ": " +
                             (text != nullptr ? text : "unknown error"));
}

void CheckPicture(const IndexedPicture& picture) {
    if (picture.width < 1 || picture.height < 1 || picture.width > MaxGifSide ||
        picture.height > MaxGifSide)
        throw std::invalid_argument("GIF picture size is out of range");
    if (picture.palette.empty() || picture.palette.size() > MaxPaletteSize)
        throw std::invalid_argument("GIF palette must hold 1 to 256 colours");
    const auto pixels =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (picture.indices.size() != pixels)
        throw std::invalid_argument("GIF picture has not one index per pixel");
    const auto top = std::max_element(picture.indices.begin(), picture.indices.end());
    if (*top >= picture.palette.size())
        throw std::invalid_argument("GIF pixel index lies past the palette");
}

std::unique_ptr<ColorMapObject, ColorMapDeleter>
MakeColorTable(const std::vector<RgbWord>& palette) {
    std::vector<GifColorType> colours(ColorTableSize(palette.size()), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i].Red = static_cast<GifByteType>((palette[i] >> 16) & 0xFFu);
        colours[i].Green = static_cast<GifByteType>((palette[i] >> 8) & 0xFFu);
        colours[i].Blue = static_cast<GifByteType>(palette[i] & 0xFFu);
    }
    std::unique_ptr<ColorMapObject, ColorMapDeleter> map(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
    if (!map)
        throw std::bad_alloc();
    return map;
}

} // namespace

std::size_t ColorTableSize(std::size_t paletteSize) {
    std::size_t size = 2;
    while (size < paletteSize)
        size *= 2;
    return size;
}

std::string EncodeGif(const IndexedPicture& picture) {
    CheckPicture(picture);
    const auto table = MakeColorTable(picture.palette);

    std::string out;
    int error = 0;
    std::unique_ptr<GifFileType, EncoderCloser> gif(EGifOpen(&out, AppendToString, &error));
    if (!gif)
        ThrowGifError("open", error);

    // Colour resolution 8: the palette holds 8 bits per primary. No extension is ever
    // written, so giflib stamps the stream GIF87a.
    constexpr int ColourResolution = 8;
    constexpr int BackgroundIndex = 0;
    if (EGifPutScreenDesc(gif.get(), picture.width, picture.height, ColourResolution,
                          BackgroundIndex, table.get()) != GIF_OK)
        ThrowGifError("screen descriptor", gif->Error);
    if (EGifPutImageDesc(gif.get(), 0, 0, picture.width, picture.height, false, nullptr) != GIF_OK)
        ThrowGifError("image descriptor", gif->Error);

    // giflib masks the line it is given in place, so each row goes through a scratch copy.
    const auto width = static_cast<std::size_t>(picture.width);
    std::vector<GifPixelType> row(width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
        const auto start = picture.indices.begin() + static_cast<std::ptrdiff_t>(y * width);
        std::copy(start, start + static_cast<std::ptrdiff_t>(width), row.begin());
        if (EGifPutLine(gif.get(), row.data(), picture.width) != GIF_OK)
            ThrowGifError("image data", gif->Error);
    }

    if (EGifCloseFile(gif.release(), &error) != GIF_OK)
        ThrowGifError("trailer", error);
    return out;
}

} // namespace rez
