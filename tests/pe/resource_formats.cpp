#include "resource_formats.h"

#include <algorithm>

#include "byte_reader.h"

namespace pe {

std::optional<std::vector<GroupIconEntry>> ParseGroupIcon(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    const std::uint16_t reserved = r.U16();
    const std::uint16_t type = r.U16();
    const std::uint16_t count = r.U16();
    if (!r.ok() || reserved != 0 || type != 1) return std::nullopt;
    std::vector<GroupIconEntry> entries;
    for (std::uint16_t i = 0; i < count; ++i) {
        GroupIconEntry e;
        e.width = r.U8();
        e.height = r.U8();
        e.color_count = r.U8();
        r.U8();  // reserved
        e.planes = r.U16();
        e.bit_count = r.U16();
        e.bytes_in_resource = r.U32();
        e.icon_id = r.U16();
        if (!r.ok()) return std::nullopt;
        entries.push_back(e);
    }
    return entries;
}

std::optional<BitmapInfoHeader> ParseBitmapInfoHeader(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    BitmapInfoHeader h;
    h.size = r.U32();
    h.width = static_cast<std::int32_t>(r.U32());
    h.height = static_cast<std::int32_t>(r.U32());
    h.planes = r.U16();
    h.bit_count = r.U16();
    h.compression = r.U32();
    r.Skip(12);  // image size, resolution
    h.colors_used = r.U32();
    r.Skip(4);  // important colours
    if (!r.ok() || h.size < 40 || h.size > bytes.size()) return std::nullopt;
    return h;
}

std::optional<std::vector<std::u16string>> ParseStringBlock(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    std::vector<std::u16string> strings;
    for (int i = 0; i < 16; ++i) {
        const std::uint16_t length = r.U16();
        std::u16string s;
        for (std::uint16_t k = 0; k < length && r.ok(); ++k) s.push_back(static_cast<char16_t>(r.U16()));
        if (!r.ok()) return std::nullopt;
        strings.push_back(std::move(s));
    }
    return strings;
}

const VersionBlock* VersionBlock::Child(const std::u16string& child_key) const {
    for (const VersionBlock& c : children) {
        if (c.key == child_key) return &c;
    }
    return nullptr;
}

namespace {

constexpr int kMaxVersionDepth = 8;

// Reads the block at `start` of `bytes` (offsets count from the start of the
// resource, on whose DWORD boundaries every block and value is aligned).
bool ReadVersionBlock(std::span<const std::uint8_t> bytes, std::size_t start, int depth, VersionBlock& block,
                      std::size_t& end) {
    if (depth > kMaxVersionDepth) return false;
    ByteReader header(bytes, start);
    const std::uint16_t length = header.U16();
    block.value_length = header.U16();
    block.type = header.U16();
    if (!header.ok() || length < 6 || start + length > bytes.size()) return false;
    end = start + length;

    ByteReader r(bytes.first(end), header.offset());
    block.key = r.Utf16z();
    if (!r.ok()) return false;
    if (((r.offset() + 3) & ~static_cast<std::size_t>(3)) >= end) {
        // A block may end right after its key, without padding, value or children.
        return block.value_length == 0;
    }
    r.Align(4);
    const std::size_t value_start = r.offset();
    if (block.type == 1) {
        // Text: value_length counts characters, but not every resource
        // compiler agrees, so read to the terminator or the block's end.
        while (r.remaining() >= 2) {
            const char16_t c = static_cast<char16_t>(r.U16());
            if (c == 0) break;
            block.text.push_back(c);
        }
        r.Seek(value_start);
        r.Skip(std::min<std::size_t>(static_cast<std::size_t>(block.value_length) * 2, r.remaining()));
    } else {
        std::span<const std::uint8_t> value = r.Bytes(block.value_length);
        if (!r.ok()) return false;
        block.value.assign(value.begin(), value.end());
    }
    r.Align(4);
    std::size_t child = r.ok() ? r.offset() : end;
    while (child < end) {
        VersionBlock c;
        std::size_t child_end = 0;
        if (!ReadVersionBlock(bytes.first(end), child, depth + 1, c, child_end)) return false;
        block.children.push_back(std::move(c));
        child = (child_end + 3) & ~static_cast<std::size_t>(3);
    }
    return true;
}

}  // namespace

std::optional<VersionInfo> ParseVersionInfo(std::span<const std::uint8_t> bytes) {
    VersionInfo info;
    std::size_t end = 0;
    if (!ReadVersionBlock(bytes, 0, 0, info.root, end)) return std::nullopt;
    if (info.root.value.size() >= 52) {
        ByteReader r(info.root.value);
        FixedFileInfo f;
        f.signature = r.U32();
        f.struct_version = r.U32();
        f.file_version_ms = r.U32();
        f.file_version_ls = r.U32();
        f.product_version_ms = r.U32();
        f.product_version_ls = r.U32();
        f.file_flags_mask = r.U32();
        f.file_flags = r.U32();
        f.file_os = r.U32();
        f.file_type = r.U32();
        f.file_subtype = r.U32();
        f.file_date_ms = r.U32();
        f.file_date_ls = r.U32();
        if (r.ok()) info.fixed = f;
    }
    return info;
}

namespace {

std::optional<FontStrike> ParseFnt(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    FontStrike f;
    f.version = r.U16();
    r.Skip(4 + 60 + 2);  // size, copyright, type
    f.points = r.U16();
    f.vertical_dpi = r.U16();
    f.horizontal_dpi = r.U16();
    f.ascent = r.U16();
    f.internal_leading = r.U16();
    r.Skip(2 + 3 + 2);  // external leading, italic/underline/strike-out, weight
    f.charset = r.U8();
    r.Skip(2);  // pixel width (0: variable)
    f.pixel_height = r.U16();
    r.Skip(1 + 2 + 2);  // pitch and family, average and maximum width
    f.first_char = r.U8();
    f.last_char = r.U8();
    f.default_char = r.U8();
    r.Skip(1 + 2 + 4);  // break char, width bytes, device
    const std::uint32_t face = r.U32();
    // Version 2.0: the glyph table follows the 118-byte header, one entry
    // more than there are characters.
    r.Seek(118);
    for (int c = f.first_char; c <= f.last_char + 1 && r.ok(); ++c) {
        const std::uint16_t width = r.U16();
        f.glyphs.emplace_back(width, r.U16());
    }
    r.Seek(face);
    f.face = r.Asciiz(32);
    if (!r.ok() || f.version != 0x0200 || f.first_char > f.last_char) return std::nullopt;
    // Every bitmap, columns of 8 pixels by the cell's height, lies within the font.
    for (const auto& [width, offset] : f.glyphs) {
        if (offset + (width + 7u) / 8u * f.pixel_height > bytes.size()) return std::nullopt;
    }
    return f;
}

}  // namespace

std::optional<std::vector<FontStrike>> ParseFontFile(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    if (r.U16() != 0x5A4D) return std::nullopt;  // "MZ"
    r.Seek(0x3C);
    const std::uint32_t ne = r.U32();
    r.Seek(ne);
    if (r.U16() != 0x454E) return std::nullopt;  // "NE"
    r.Seek(ne + 0x24);
    r.Seek(ne + r.U16());  // the resource table
    const std::uint16_t shift = r.U16();
    std::vector<FontStrike> strikes;
    while (r.ok()) {
        const std::uint16_t type = r.U16();
        if (type == 0) break;
        const std::uint16_t count = r.U16();
        r.Skip(4);
        for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
            const std::size_t offset = static_cast<std::size_t>(r.U16()) << shift;
            const std::size_t length = static_cast<std::size_t>(r.U16()) << shift;
            r.Skip(8);                     // flags, id, reserved
            if (type != 0x8008) continue;  // RT_FONT, by number
            if (offset > bytes.size()) return std::nullopt;
            auto strike = ParseFnt(bytes.subspan(offset, std::min(length, bytes.size() - offset)));
            if (!strike) return std::nullopt;
            strikes.push_back(std::move(*strike));
        }
    }
    if (!r.ok()) return std::nullopt;
    return strikes;
}

}  // namespace pe
