// Reads a dialog template resource as the dialog manager does: DLGTEMPLATE
// with DLGITEMTEMPLATE items, or DLGTEMPLATEEX with DLGITEMTEMPLATEEX items.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pe {

// Predefined control class atoms.
inline constexpr std::uint16_t kAtomButton = 0x0080;
inline constexpr std::uint16_t kAtomEdit = 0x0081;
inline constexpr std::uint16_t kAtomStatic = 0x0082;
inline constexpr std::uint16_t kAtomListBox = 0x0083;
inline constexpr std::uint16_t kAtomScrollBar = 0x0084;
inline constexpr std::uint16_t kAtomComboBox = 0x0085;

// A template field that is absent, an ordinal (0xFFFF followed by a number)
// or a UTF-16 string. An empty string and an absent field are the same bytes
// (one zero word) and read as absent.
struct SzOrOrd {
    enum class Kind { kNone, kOrdinal, kText };
    Kind kind = Kind::kNone;
    std::uint16_t ordinal = 0;
    std::u16string text;

    static SzOrOrd None() { return {}; }
    static SzOrOrd Ordinal(std::uint16_t value) { return SzOrOrd{Kind::kOrdinal, value, {}}; }
    static SzOrOrd Text(const std::u16string& value) {
        return value.empty() ? SzOrOrd{} : SzOrOrd{Kind::kText, 0, value};
    }
    bool operator==(const SzOrOrd&) const = default;
    // none, #133, or the text quoted with C escapes.
    std::string ToString() const;
};

struct DialogItem {
    std::uint32_t help_id = 0;  // always 0 in a classic template
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;  // 16 bits in a classic template, 32 in an extended one
    SzOrOrd window_class;
    SzOrOrd title;
    std::uint16_t creation_data_size = 0;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t help_id = 0;  // extended templates only
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    SzOrOrd menu;
    SzOrOrd window_class;
    std::u16string caption;
    // Present when the style has DS_SETFONT (or DS_SHELLFONT).
    bool has_font = false;
    std::uint16_t point_size = 0;
    std::uint16_t weight = 0;  // extended templates only
    bool italic = false;       // extended templates only
    std::uint8_t charset = 0;  // extended templates only
    std::u16string face;
    std::vector<DialogItem> items;
};

struct DialogParseResult {
    std::optional<DialogTemplate> dialog;
    std::string error;  // empty when dialog is set
};

DialogParseResult ParseDialogTemplate(std::span<const std::uint8_t> bytes);

// C-style quoting of a UTF-16 text for messages: "Tessary\nNumber".
std::string Quote(const std::u16string& text);

}  // namespace pe
