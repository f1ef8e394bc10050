#include "gif_decode.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace rez::test {

namespace {

struct Source {
    const std::string* bytes;
    std::size_t position = 0;
};

int ReadFromString(GifFileType* gif, GifByteType* into, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t left = source->bytes->size() - source->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(length));
    std::memcpy(into, source->bytes->data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

std::uint32_t Word(const GifColorType& c) {
    return (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
}

} // namespace

DecodedGif DecodeGif(const std::string& bytes) {
    DecodedGif out;
    out.signature = bytes.substr(0, 6);
    Source source{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromString, &error);
    if (gif == nullptr) {
        ADD_FAILURE() << "giflib cannot open the stream: " << GifErrorString(error);
        return {};
    }
    if (DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << "giflib cannot read the stream: " << GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return {};
    }
    out.screenWidth = gif->SWidth;
    out.screenHeight = gif->SHeight;
    if (gif->SColorMap != nullptr)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i)
            out.globalTable.push_back(Word(gif->SColorMap->Colors[i]));
    out.imageCount = gif->ImageCount;
    out.extensionBlocks = gif->ExtensionBlockCount;
    for (int i = 0; i < gif->ImageCount; ++i)
        out.extensionBlocks += gif->SavedImages[i].ExtensionBlockCount;
    if (gif->ImageCount > 0) {
        const SavedImage& image = gif->SavedImages[0];
        out.left = image.ImageDesc.Left;
        out.top = image.ImageDesc.Top;
        out.width = image.ImageDesc.Width;
        out.height = image.ImageDesc.Height;
        out.interlaced = image.ImageDesc.Interlace;
        out.localTable = image.ImageDesc.ColorMap != nullptr;
        const auto count =
            static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
        out.indices.assign(image.RasterBits, image.RasterBits + count);
        for (const std::uint8_t index : out.indices)
            out.colours.push_back(index < out.globalTable.size() ? out.globalTable[index]
                                                                 : 0xFF000000u);
    }
    DGifCloseFile(gif, &error);
    return out;
}

} // namespace rez::test
