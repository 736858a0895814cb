#include "dialog_template.h"

#include <cstdio>

#include "byte_reader.h"
#include "pe_image.h"

namespace pe {

namespace {

constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint16_t kMaxItems = 0xFFFF;

SzOrOrd ReadSzOrOrd(ByteReader& r) {
    const std::uint16_t first = r.U16();
    if (first == 0x0000) return SzOrOrd::None();
    if (first == 0xFFFF) return SzOrOrd::Ordinal(r.U16());
    std::u16string text(1, static_cast<char16_t>(first));
    text += r.Utf16z();
    return SzOrOrd::Text(text);
}

std::string ItemWhere(std::size_t index) {
    return "item " + std::to_string(index);
}

}  // namespace

std::string Quote(const std::u16string& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned char>(c));
                    out += buffer;
                } else {
                    out.push_back(c);
                }
        }
    }
    return out + "\"";
}

std::string SzOrOrd::ToString() const {
    switch (kind) {
        case Kind::kNone:
            return "none";
        case Kind::kOrdinal:
            return "#" + std::to_string(ordinal);
        case Kind::kText:
            return Quote(text);
    }
    return "?";
}

DialogParseResult ParseDialogTemplate(std::span<const std::uint8_t> bytes) {
    DialogTemplate d;
    ByteReader r(bytes);

    const std::uint16_t version = r.U16();
    const std::uint16_t signature = r.U16();
    if (!r.ok()) return {std::nullopt, "template shorter than its header"};
    d.extended = version == 1 && signature == 0xFFFF;
    if (d.extended) {
        d.help_id = r.U32();
        d.ex_style = r.U32();
        d.style = r.U32();
    } else {
        r.Seek(0);
        d.style = r.U32();
        d.ex_style = r.U32();
    }
    const std::uint16_t count = r.U16();
    d.x = r.I16();
    d.y = r.I16();
    d.cx = r.I16();
    d.cy = r.I16();
    if (!r.ok()) return {std::nullopt, "template shorter than its header"};
    d.menu = ReadSzOrOrd(r);
    d.window_class = ReadSzOrOrd(r);
    d.caption = r.Utf16z();
    if (!r.ok()) return {std::nullopt, "template header's menu, class or caption runs past the end"};
    if (d.style & kDsSetFont) {
        d.has_font = true;
        d.point_size = r.U16();
        if (d.extended) {
            d.weight = r.U16();
            d.italic = r.U8() != 0;
            d.charset = r.U8();
        }
        d.face = r.Utf16z();
        if (!r.ok()) return {std::nullopt, "template's font runs past the end"};
    }
    if (count > kMaxItems) return {std::nullopt, "too many items"};

    for (std::size_t i = 0; i < count; ++i) {
        DialogItem item;
        r.Align(4);  // each item starts on a DWORD boundary
        if (d.extended) {
            item.help_id = r.U32();
            item.ex_style = r.U32();
            item.style = r.U32();
        } else {
            item.style = r.U32();
            item.ex_style = r.U32();
        }
        item.x = r.I16();
        item.y = r.I16();
        item.cx = r.I16();
        item.cy = r.I16();
        item.id = d.extended ? r.U32() : r.U16();
        if (!r.ok()) return {std::nullopt, ItemWhere(i) + " is truncated"};
        item.window_class = ReadSzOrOrd(r);
        item.title = ReadSzOrOrd(r);
        item.creation_data_size = r.U16();
        // The creation data follows its size word.
        r.Skip(item.creation_data_size);
        if (!r.ok())
            return {std::nullopt, ItemWhere(i) + "'s class, title or creation data runs past the end"};
        d.items.push_back(std::move(item));
    }
    return {std::move(d), {}};
}

}  // namespace pe
