// The palette that goes with a picture resource (a BMP file): its own colour
// table for pictures of up to 256 colours, the halftone palette for true
// colour.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct PictureHeader {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::uint32_t usedColours = 0;
    std::uint32_t tableOffset = 0;  // file offset of the colour table
};

struct PicturePalette {
    bool halftone = false;
    std::vector<std::uint32_t> entries;  // 0x00RRGGBB
};

// The header of a BMP file with a BITMAPINFOHEADER-style header, or nothing
// when the bytes are not one.
std::optional<PictureHeader> ReadPictureHeader(const std::vector<std::uint8_t>& file);

// The colour count: the used-colours count, or 2 to the power of the bits
// per pixel when that count is 0.
std::uint64_t PictureColourCount(const PictureHeader& header);

// The palette for the picture, or nothing when the header cannot be read or
// the colour table does not fit in the file.
std::optional<PicturePalette> PaletteForPicture(const std::vector<std::uint8_t>& file);

// The 256-colour halftone palette: a 6 x 6 x 6 colour cube and 40 greys.
std::vector<std::uint32_t> HalftonePalette();
