// Readers for the resource formats other than dialog templates: group icons,
// icon and bitmap headers, string-table blocks, the version resource and
// Windows bitmap font files.
// Each returns nullopt for bytes that do not hold a well-formed record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace pe {

// GRPICONDIRENTRY
struct GroupIconEntry {
    std::uint8_t width = 0;   // 0 means 256
    std::uint8_t height = 0;  // 0 means 256
    std::uint8_t color_count = 0;
    std::uint16_t planes = 0;
    std::uint16_t bit_count = 0;
    std::uint32_t bytes_in_resource = 0;
    std::uint16_t icon_id = 0;  // the RT_ICON resource holding the image
};

std::optional<std::vector<GroupIconEntry>> ParseGroupIcon(std::span<const std::uint8_t> bytes);

// BITMAPINFOHEADER, as it starts an RT_ICON image or an RT_BITMAP.
struct BitmapInfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // twice the image height in an icon (colour and mask)
    std::uint16_t planes = 0;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = 0;
    std::uint32_t colors_used = 0;
};

std::optional<BitmapInfoHeader> ParseBitmapInfoHeader(std::span<const std::uint8_t> bytes);

// Bytes of one row of a bottom-up DIB, padded to a DWORD.
inline std::uint32_t DibStride(std::uint32_t width, std::uint32_t bits_per_pixel) {
    return ((width * bits_per_pixel + 31) / 32) * 4;
}

// The sixteen strings of one RT_STRING block; block N holds ids 16(N-1) to 16N-1.
std::optional<std::vector<std::u16string>> ParseStringBlock(std::span<const std::uint8_t> bytes);

// VS_FIXEDFILEINFO
struct FixedFileInfo {
    std::uint32_t signature = 0;
    std::uint32_t struct_version = 0;
    std::uint32_t file_version_ms = 0;
    std::uint32_t file_version_ls = 0;
    std::uint32_t product_version_ms = 0;
    std::uint32_t product_version_ls = 0;
    std::uint32_t file_flags_mask = 0;
    std::uint32_t file_flags = 0;
    std::uint32_t file_os = 0;
    std::uint32_t file_type = 0;
    std::uint32_t file_subtype = 0;
    std::uint32_t file_date_ms = 0;
    std::uint32_t file_date_ls = 0;
};

// One block of a version resource: a key, a value and child blocks.
struct VersionBlock {
    std::u16string key;
    std::uint16_t type = 0;  // 1 for text values, 0 for binary ones
    std::uint16_t value_length = 0;
    std::vector<std::uint8_t> value;  // binary value, exactly value_length bytes
    std::u16string text;              // text value, up to its terminator
    std::vector<VersionBlock> children;

    const VersionBlock* Child(const std::u16string& child_key) const;
};

struct VersionInfo {
    VersionBlock root;  // "VS_VERSION_INFO"
    std::optional<FixedFileInfo> fixed;
};

std::optional<VersionInfo> ParseVersionInfo(std::span<const std::uint8_t> bytes);

// ---- Windows bitmap font file (.fon): an NE image holding FNT fonts -----

struct FontStrike {
    std::uint16_t version = 0;
    std::uint16_t points = 0;
    std::uint16_t vertical_dpi = 0;
    std::uint16_t horizontal_dpi = 0;
    std::uint16_t ascent = 0;
    std::uint16_t internal_leading = 0;
    std::uint8_t charset = 0;
    std::uint16_t pixel_height = 0;
    std::uint8_t first_char = 0;
    std::uint8_t last_char = 0;
    std::uint8_t default_char = 0;  // relative to first_char
    std::string face;
    // Per character from first_char: its width and where its bitmap starts.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> glyphs;
};

// The FONT resources of a .fon, in the order of its resource table.
std::optional<std::vector<FontStrike>> ParseFontFile(std::span<const std::uint8_t> bytes);

}  // namespace pe
