#include "ui/PicturePalette.h"

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}

unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8;
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(const std::vector<std::uint8_t>& file)
{
    constexpr std::size_t kFileHeader = 14;
    if (file.size() < kFileHeader + 40 || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    const std::uint32_t infoSize = U32(file, kFileHeader);
    if (infoSize < 40 || infoSize > file.size() - kFileHeader)
        return std::nullopt;
    PictureHeader h;
    h.width = static_cast<int>(U32(file, kFileHeader + 4));
    h.height = static_cast<int>(U32(file, kFileHeader + 8));
    h.bitsPerPixel = static_cast<int>(U16(file, kFileHeader + 14));
    h.usedColours = U32(file, kFileHeader + 32);
    h.tableOffset = kFileHeader + infoSize;
    return h;
}

std::uint64_t PictureColourCount(const PictureHeader& header)
{
    if (header.usedColours != 0)
        return header.usedColours;
    if (header.bitsPerPixel >= 32)
        return std::uint64_t{1} << 32;
    return std::uint64_t{1} << header.bitsPerPixel;
}

std::optional<PicturePalette> PaletteForPicture(const std::vector<std::uint8_t>& file)
{
    const std::optional<PictureHeader> header = ReadPictureHeader(file);
    if (!header)
        return std::nullopt;
    const std::uint64_t count = PictureColourCount(*header);
    PicturePalette palette;
    if (count > 256) {
        palette.halftone = true;
        palette.entries = HalftonePalette();
        return palette;
    }
    // The colour table must lie inside the file; a header that claims more
    // entries than the file holds is refused rather than read past its end.
    if (header->tableOffset + 4 * count > file.size())
        return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t at = header->tableOffset + 4 * i;  // blue, green, red, reserved
        palette.entries.push_back(std::uint32_t{file[at + 2]} << 16 | file[at + 1] << 8 |
                                  file[at]);
    }
    return palette;
}

std::vector<std::uint32_t> HalftonePalette()
{
    std::vector<std::uint32_t> out;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                out.push_back(std::uint32_t(r * 51) << 16 | (g * 51) << 8 | (b * 51));
    for (int i = 0; i < 40; ++i) {
        const std::uint32_t v = (i + 1) * 255 / 41;
        out.push_back(v << 16 | v << 8 | v);
    }
    return out;
}
