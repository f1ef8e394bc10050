// Reads a GIF stream back with giflib's decoder, for checking what the writer produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rez::test {

struct DecodedGif {
    std::string signature; // the first six bytes, "GIF87a" or "GIF89a"
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<std::uint32_t> globalTable; // 0xRRGGBB entries; empty when absent
    int imageCount = 0;
    int extensionBlocks = 0; // before, between and inside the images
    // The first image.
    int left = -1;
    int top = -1;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool localTable = false;
    std::vector<std::uint8_t> indices;  // row by row
    std::vector<std::uint32_t> colours; // the indices looked up in the global table
};

// Decodes `bytes` completely; fails the calling test (and returns an empty value) when giflib
// rejects the stream.
DecodedGif DecodeGif(const std::string& bytes);

// Pixels of a true-colour test picture, row by row, 0xRRGGBB.
using Pixels = std::vector<std::uint32_t>;

} // namespace rez::test
