// Reads the two Windows builds of the program and checks their file format
// and every resource in them: the dialog templates field by field, the icons,
// the About strip, the string table and the version resource.
//
// The executables are named by TARROWBY_WIN32_EXE and TARROWBY_WIN64_EXE;
// every test runs over both.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "dialog_template.h"
#include "pe_image.h"
#include "resource_formats.h"
#include "win32_styles.h"

namespace {

using namespace win32;
using pe::SzOrOrd;

// ---------------------------------------------------------------------------
// The executables.

struct Executable {
    const char* label;
    const char* variable;  // environment variable holding its path
    std::uint16_t machine;
    std::uint16_t magic;
};

const Executable kExecutables[] = {
    {"win32", "TARROWBY_WIN32_EXE", pe::kMachineI386, pe::kMagicPe32},
    {"win64", "TARROWBY_WIN64_EXE", pe::kMachineAmd64, pe::kMagicPe32Plus},
};

// Names the parameter in GoogleTest's messages instead of dumping its bytes.
void PrintTo(const Executable& exe, std::ostream* out) {
    *out << exe.label;
}

std::string Hex(std::uint32_t value, int digits = 8) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

std::u16string Wide(const char* text) {
    std::u16string out;
    for (const char* p = text; *p != '\0'; ++p) out.push_back(static_cast<unsigned char>(*p));
    return out;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const char* LanguageName(std::uint16_t language) {
    switch (language) {
        case LANG_ENGLISH_US:
            return "English (United States)";
        case LANG_ENGLISH_UK:
            return "English (United Kingdom)";
        case 0:
            return "neutral";
        default:
            return "other";
    }
}

std::string DescribeLanguage(std::uint16_t language) {
    return Hex(language, 4) + " " + LanguageName(language);
}

// Each file is read once per run.
const pe::PeLoadResult& Load(const std::string& path) {
    static std::map<std::string, pe::PeLoadResult> cache;
    auto found = cache.find(path);
    if (found == cache.end()) found = cache.emplace(path, pe::LoadPeFile(path)).first;
    return found->second;
}

// Loads the executable in SetUp; a test body runs only when it could be read.
template <typename Param>
class ExecutableFixture : public ::testing::TestWithParam<Param> {
protected:
    virtual const Executable& Exe() const = 0;

    void SetUp() override {
        const char* path = std::getenv(Exe().variable);
        ASSERT_TRUE(path != nullptr && *path != '\0') << Exe().variable << " does not name the executable";
        const std::string file = path;  // not a temporary: GCC 13 and 14 would think the result refers to it
        const pe::PeLoadResult& loaded = Load(file);
        ASSERT_TRUE(loaded.image.has_value()) << loaded.error;
        image_ = &*loaded.image;
    }

    const pe::Resource* Find(std::uint16_t type, std::uint16_t id) const {
        return image_->FindResource(type, id);
    }

    const pe::PeImage* image_ = nullptr;
};

class ExecutableTest : public ExecutableFixture<Executable> {
protected:
    const Executable& Exe() const override { return GetParam(); }
};

std::string ExecutableName(const ::testing::TestParamInfo<Executable>& info) {
    return info.param.label;
}

// ---------------------------------------------------------------------------
// File format.

TEST_P(ExecutableTest, IsAGuiExecutableForItsMachine) {
    EXPECT_EQ(Hex(image_->machine, 4), Hex(Exe().machine, 4))
        << "machine " << pe::MachineName(image_->machine) << ", expected " << pe::MachineName(Exe().machine);
    EXPECT_EQ(Hex(image_->magic, 4), Hex(Exe().magic, 4))
        << "optional header magic (0x010B PE32, 0x020B PE32+)";
    EXPECT_EQ(image_->subsystem, pe::kSubsystemWindowsGui) << "subsystem (2 GUI, 3 console)";
    EXPECT_NE(image_->characteristics & pe::kFileExecutableImage, 0) << "not marked as an executable image";
    EXPECT_EQ(image_->characteristics & pe::kFileDll, 0) << "marked as a DLL";

    std::cout << "[   INFO   ] " << Exe().label << ": TimeDateStamp " << Hex(image_->time_date_stamp)
              << ", Characteristics " << Hex(image_->characteristics, 4) << ", DllCharacteristics "
              << Hex(image_->dll_characteristics, 4) << ", sections";
    for (const pe::Section& s : image_->sections) std::cout << " " << s.name << "=" << Hex(s.characteristics);
    std::cout << "\n";
}

TEST_P(ExecutableTest, ImportsOnlyTheSystemDlls) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"};
    std::string listed;
    for (const pe::ImportedDll& dll : image_->imports) {
        listed += " " + dll.name + (dll.delay_loaded ? " (delay-loaded)" : "");
        EXPECT_TRUE(allowed.count(Lower(dll.name)) == 1)
            << "imports " << dll.name << (dll.delay_loaded ? " (delay-loaded)" : "")
            << "; only KERNEL32.dll, USER32.dll, GDI32.dll and msvcrt.dll may be imported";
    }
    std::cout << "[   INFO   ] " << Exe().label << " imports:" << listed << "\n";
    // Looked up by name at start, to load DLLs from the system folder only.
    const std::string lookedUp = "SetDefaultDllDirectories";
    const auto& bytes = image_->bytes();
    EXPECT_TRUE(std::search(bytes.begin(), bytes.end(), lookedUp.begin(), lookedUp.end()) != bytes.end())
        << lookedUp << " is not named";
}

// What a user may trust of a downloaded program: address-space randomisation
// that can actually move it, no executable data, no writable code, and nothing
// of the machine it was built on.
TEST_P(ExecutableTest, IsHardenedAndCarriesNothingOfItsBuild) {
    EXPECT_NE(image_->dll_characteristics & pe::kDllDynamicBase, 0) << "no ASLR (dynamic base)";
    EXPECT_NE(image_->dll_characteristics & pe::kDllNxCompat, 0) << "not DEP (NX) compatible";
    if (image_->IsPe32Plus()) {
        EXPECT_NE(image_->dll_characteristics & pe::kDllHighEntropyVa, 0) << "no high-entropy ASLR";
    }
    EXPECT_NE(image_->dll_characteristics & pe::kDllTerminalServerAware, 0) << "not Terminal Server aware";
    EXPECT_EQ(std::to_string(image_->subsystem_major) + "." + std::to_string(image_->subsystem_minor), "6.1")
        << "subsystem version: Windows 7, the oldest Windows the program names";
    EXPECT_EQ(image_->characteristics & pe::kFileRelocsStripped, 0)
        << "relocations stripped: ASLR cannot move it";
    EXPECT_NE(image_->Directory(pe::kDirBaseReloc).size, 0u) << "no base relocations: ASLR cannot move it";
    for (const pe::Section& section : image_->sections) {
        EXPECT_FALSE(section.IsWritable() && section.IsExecutable())
            << "section " << section.name << " is W+X";
    }
    EXPECT_EQ(image_->time_date_stamp, 0u) << "a time stamp in the PE header";

    const char* source = std::getenv("TARROWBY_SOURCE_DIR");
    ASSERT_TRUE(source != nullptr && *source != '\0');
    const std::string path(source);
    const auto& bytes = image_->bytes();
    EXPECT_TRUE(std::search(bytes.begin(), bytes.end(), path.begin(), path.end()) == bytes.end())
        << "the build folder " << path << " is written into the executable";
    // The stack protector's guard, by the value it has until the program starts.
    const std::uint64_t guard = image_->IsPe32Plus() ? 0x00002B992DDFA232ull : 0xBB40E64Eull;
    const std::size_t width = image_->IsPe32Plus() ? 8 : 4;
    std::vector<std::uint8_t> guardBytes;
    for (std::size_t i = 0; i < width; ++i) guardBytes.push_back(static_cast<std::uint8_t>(guard >> (8 * i)));
    EXPECT_TRUE(std::search(bytes.begin(), bytes.end(), guardBytes.begin(), guardBytes.end()) != bytes.end())
        << "no stack protector guard";
}

// ---------------------------------------------------------------------------
// The resource set: exactly these, and the RT_ICON images that the group
// icons name.

struct ResourceRow {
    std::uint16_t type;
    std::uint16_t id;
    std::uint16_t language;
};

const ResourceRow kResources[] = {
    {pe::kRtDialog, 100, LANG_ENGLISH_US},           // About box
    {pe::kRtDialog, 102, LANG_ENGLISH_US},           // launcher
    {pe::kRtDialog, 136, LANG_ENGLISH_UK},           // Station Current Finder
    {pe::kRtDialog, 137, LANG_ENGLISH_UK},           // Tessary Lookup
    {pe::kRtDialog, 140, LANG_ENGLISH_UK},           // Charge Delta Calculator
    {pe::kRtDialog, 145, LANG_ENGLISH_UK},           // Token Collection Table
    {pe::kRtGroupIcon, 128, LANG_ENGLISH_UK},        // application icon
    {pe::kRtGroupIcon, 134, LANG_ENGLISH_UK},        // Charge Delta Calculator
    {pe::kRtGroupIcon, 139, LANG_ENGLISH_UK},        // Tessary Lookup
    {pe::kRtGroupIcon, 141, LANG_ENGLISH_UK},        // Station Current Finder
    {pe::kRtGroupIcon, 144, LANG_ENGLISH_UK},        // Token Collection Table
    {pe::kRtBitmap, 133, LANG_ENGLISH_UK},           // About strip
    {pe::kRtRcData, 150, LANG_ENGLISH_UK},           // the "MS Serif" font file
    {pe::kRtString, 101 / 16 + 1, LANG_ENGLISH_US},  // the block holding string 101
    {pe::kRtVersion, 1, LANG_ENGLISH_US},
    {pe::kRtManifest, 1, LANG_ENGLISH_US},  // how Windows starts the program
};

const char* TypeName(const pe::ResourceKey& type) {
    if (type.is_name) return "named type";
    switch (type.id) {
        case pe::kRtCursor:
            return "RT_CURSOR";
        case pe::kRtBitmap:
            return "RT_BITMAP";
        case pe::kRtIcon:
            return "RT_ICON";
        case pe::kRtMenu:
            return "RT_MENU";
        case pe::kRtDialog:
            return "RT_DIALOG";
        case pe::kRtString:
            return "RT_STRING";
        case pe::kRtAccelerator:
            return "RT_ACCELERATOR";
        case pe::kRtRcData:
            return "RT_RCDATA";
        case pe::kRtGroupCursor:
            return "RT_GROUP_CURSOR";
        case pe::kRtGroupIcon:
            return "RT_GROUP_ICON";
        case pe::kRtVersion:
            return "RT_VERSION";
        case pe::kRtManifest:
            return "RT_MANIFEST";
        default:
            return "type";
    }
}

std::string DescribeResource(const pe::ResourceKey& type, const pe::ResourceKey& name,
                             std::uint16_t language) {
    return std::string(TypeName(type)) + " " + type.ToString() + " / " + name.ToString() + " / " +
           DescribeLanguage(language);
}

TEST_P(ExecutableTest, HoldsExactlyTheProgramsResources) {
    std::set<std::string> expected;
    for (const ResourceRow& row : kResources) {
        expected.insert(
            DescribeResource(pe::ResourceKey::Id(row.type), pe::ResourceKey::Id(row.id), row.language));
    }
    // The icon images carry whatever ids the group icons give them.
    for (const ResourceRow& row : kResources) {
        if (row.type != pe::kRtGroupIcon) continue;
        const pe::Resource* group = Find(row.type, row.id);
        if (group == nullptr) continue;
        if (auto entries = pe::ParseGroupIcon(group->data)) {
            for (const pe::GroupIconEntry& e : *entries) {
                expected.insert(DescribeResource(pe::ResourceKey::Id(pe::kRtIcon),
                                                 pe::ResourceKey::Id(e.icon_id), LANG_ENGLISH_UK));
            }
        }
    }

    std::multiset<std::string> actual;
    for (const pe::Resource& r : image_->resources)
        actual.insert(DescribeResource(r.type, r.name, r.language));

    for (const std::string& e : expected) {
        if (actual.count(e) != 1)
            ADD_FAILURE() << "resource " << e << (actual.count(e) == 0 ? " is missing" : " is doubled");
    }
    for (const std::string& a : actual) {
        if (expected.count(a) == 0) ADD_FAILURE() << "unexpected resource " << a;
    }
}

// ---------------------------------------------------------------------------
// Icons: every image 16 colours (4 bits per pixel).

struct IconSize {
    int width;
    int height;
    bool operator<(const IconSize& o) const { return std::tie(width, height) < std::tie(o.width, o.height); }
    bool operator==(const IconSize&) const = default;
};

struct IconRow {
    std::uint16_t id;
    const char* name;
    std::vector<IconSize> sizes;
};

const IconRow kIcons[] = {
    {128, "IDR_MAINFRAME", {{32, 32}, {16, 16}}}, {134, "IDI_CHARGE_DELTA", {{32, 32}}},
    {139, "IDI_TESSARY_LOOKUP", {{32, 32}}},      {141, "IDI_CURRENT_FINDER", {{32, 32}}},
    {144, "IDI_TOKEN_TABLE", {{32, 32}}},
};

std::string SizesText(std::vector<IconSize> sizes) {
    std::sort(sizes.begin(), sizes.end());
    std::string out;
    for (const IconSize& s : sizes)
        out += (out.empty() ? "" : ", ") + std::to_string(s.width) + "x" + std::to_string(s.height);
    return "{" + out + "}";
}

TEST_P(ExecutableTest, IconsAreSixteenColourImagesOfTheirSizes) {
    for (const IconRow& icon : kIcons) {
        SCOPED_TRACE("group icon " + std::to_string(icon.id) + " " + icon.name);
        const pe::Resource* group = Find(pe::kRtGroupIcon, icon.id);
        if (group == nullptr) {
            ADD_FAILURE() << "missing";
            continue;
        }
        auto entries = pe::ParseGroupIcon(group->data);
        if (!entries) {
            ADD_FAILURE() << "not a well-formed icon group";
            continue;
        }
        std::vector<IconSize> sizes;
        for (const pe::GroupIconEntry& e : *entries) {
            const int width = e.width == 0 ? 256 : e.width;
            const int height = e.height == 0 ? 256 : e.height;
            sizes.push_back({width, height});
            const std::string entry = "image " + std::to_string(e.icon_id) + " (" + std::to_string(width) +
                                      "x" + std::to_string(height) + ")";
            EXPECT_EQ(e.color_count, 16) << entry << ": colour count in the group";
            EXPECT_EQ(e.planes, 1) << entry << ": planes in the group";
            EXPECT_EQ(e.bit_count, 4) << entry << ": bits per pixel in the group";

            const pe::Resource* image = Find(pe::kRtIcon, e.icon_id);
            if (image == nullptr) {
                ADD_FAILURE() << entry << ": no RT_ICON resource " << e.icon_id;
                continue;
            }
            EXPECT_EQ(image->language, LANG_ENGLISH_UK)
                << entry << ": language " << DescribeLanguage(image->language);
            EXPECT_EQ(image->data.size(), e.bytes_in_resource) << entry << ": size against the group's entry";
            auto header = pe::ParseBitmapInfoHeader(image->data);
            if (!header) {
                ADD_FAILURE() << entry << ": not a BITMAPINFOHEADER image (a PNG image cannot be 16 colours)";
                continue;
            }
            EXPECT_EQ(header->width, width) << entry << ": image width";
            EXPECT_EQ(header->height, 2 * height) << entry << ": image height (colour and mask)";
            EXPECT_EQ(header->planes, 1) << entry << ": image planes";
            EXPECT_EQ(header->bit_count, 4) << entry << ": image bits per pixel";
            EXPECT_EQ(header->compression, 0u) << entry << ": image compression (BI_RGB)";
            EXPECT_TRUE(header->colors_used == 0 || header->colors_used == 16)
                << entry << ": colours used " << header->colors_used;
            const std::size_t needed =
                header->size + 16 * 4 + pe::DibStride(width, 4) * height + pe::DibStride(width, 1) * height;
            EXPECT_GE(image->data.size(), needed) << entry << ": image data shorter than its header promises";
        }
        EXPECT_EQ(SizesText(sizes), SizesText(icon.sizes)) << "image sizes";
    }
}

// ---------------------------------------------------------------------------
// The About box's strip: 86 by 7 pixels, 16 colours.

TEST_P(ExecutableTest, AboutStripIsA16ColourBitmap) {
    const pe::Resource* bitmap = Find(pe::kRtBitmap, 133);
    ASSERT_NE(bitmap, nullptr) << "bitmap 133 (IDB_ABOUT_STRIP) is missing";
    auto header = pe::ParseBitmapInfoHeader(bitmap->data);
    ASSERT_TRUE(header.has_value()) << "bitmap 133 does not start with a BITMAPINFOHEADER";
    EXPECT_EQ(header->width, 86);
    EXPECT_EQ(std::abs(header->height), 7);
    EXPECT_EQ(header->planes, 1);
    EXPECT_EQ(header->bit_count, 4) << "bits per pixel";
    EXPECT_EQ(header->compression, 0u) << "compression (BI_RGB)";
    EXPECT_TRUE(header->colors_used == 0 || header->colors_used == 16)
        << "colours used " << header->colors_used;
    const std::size_t colours = header->colors_used == 0 ? 16 : header->colors_used;
    EXPECT_GE(bitmap->data.size(), header->size + colours * 4 + pe::DibStride(86, 4) * 7)
        << "bitmap data shorter than its header promises";
}

// ---------------------------------------------------------------------------
// The "MS Serif" face for systems without one: bitmap strikes for 96 dpi.
// Font matching gives a request the strike with the largest em height (cell
// height less internal leading) not above the request's, and the smallest
// when all are above. A dialog's font of p points asks at d dpi for an em of
// p * d / 72 pixels: the launcher's 6 points for 8, 10, 12 and 16 at 96, 120,
// 144 and 192 dpi, the other dialogs' 8 points for 11, 13, 16 and 21.

struct SerifStrike {
    int em;
    int points;
    int pixelHeight;
    bool latin1;  // every Latin-1 character, not only printable ASCII
    const char* serves;
};

const SerifStrike kSerifStrikes[] = {
    {8, 6, 13, false, "6 points at 96 dpi: the 8-point glyphs, as Windows gives them"},
    {10, 7, 17, false, "6 points at 120 dpi"},
    {11, 8, 13, true, "8 points at 96 dpi"},
    {12, 9, 17, false, "6 points at 144 dpi, 8 points at 120 dpi"},
    {16, 12, 19, false, "8 points at 144 dpi and more, 6 points at 192 dpi"},
};

TEST_P(ExecutableTest, SerifFontHasAStrikeForEachDisplaySetting) {
    const pe::Resource* font = Find(pe::kRtRcData, 150);
    ASSERT_NE(font, nullptr) << "RCDATA 150 (IDR_SERIF_FONT) is missing";
    auto strikes = pe::ParseFontFile(font->data);
    ASSERT_TRUE(strikes.has_value()) << "RCDATA 150 is not a well-formed font file";
    const auto em = [](const pe::FontStrike& s) { return s.pixel_height - s.internal_leading; };
    std::sort(strikes->begin(), strikes->end(), [&](const auto& a, const auto& b) { return em(a) < em(b); });
    ASSERT_EQ(strikes->size(), std::size(kSerifStrikes)) << "strikes";
    for (std::size_t i = 0; i < strikes->size(); ++i) {
        const pe::FontStrike& strike = (*strikes)[i];
        const SerifStrike& expected = kSerifStrikes[i];
        SCOPED_TRACE(expected.serves);
        EXPECT_EQ(strike.face, "MS Serif");
        EXPECT_EQ(em(strike), expected.em);
        EXPECT_EQ(strike.points, expected.points);
        EXPECT_EQ(strike.pixel_height, expected.pixelHeight);
        EXPECT_EQ(strike.vertical_dpi, 96);
        EXPECT_EQ(strike.horizontal_dpi, 96);
        EXPECT_EQ(strike.charset, 0) << "ANSI_CHARSET";
        ASSERT_LE(strike.first_char, ' ');
        ASSERT_GE(strike.last_char, expected.latin1 ? 0xFF : '~');
        ASSERT_LT(strike.default_char, strike.glyphs.size());
        const auto& fallback = strike.glyphs[strike.default_char];
        for (int c = ' '; c <= '~'; ++c) {
            const auto& glyph = strike.glyphs[c - strike.first_char];
            EXPECT_GT(glyph.first, 0) << "'" << static_cast<char>(c) << "' has no width";
            EXPECT_TRUE(c == ' ' || glyph.second != fallback.second)
                << "'" << static_cast<char>(c) << "' is drawn as the default character";
        }
    }
}

// ---------------------------------------------------------------------------
// The manifest: run as the user who starts it, on every Windows from 7 to 11,
// DPI-unaware (the dialogs are laid out for a bitmap face and 32x32 icons, and
// Windows scales them whole), with the classic controls the templates are made for.

const struct {
    const char* text;
    bool wanted;
} kManifestTexts[] = {
    {"<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>", true},
    {"<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>", true},  // Windows 7
    {"<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>", true},  // Windows 8
    {"<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>", true},  // Windows 8.1
    {"<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", true},  // Windows 10 and 11
    {"SMI/2005/WindowsSettings\">false</dpiAware>", true},
    {"SMI/2016/WindowsSettings\">unaware</dpiAwareness>", true},
    {"Microsoft.Windows.Common-Controls", false},
    {"dependency", false},
};

TEST_P(ExecutableTest, ManifestRunsAsInvokerDpiUnawareWithClassicControls) {
    const pe::Resource* manifest = Find(pe::kRtManifest, 1);
    ASSERT_NE(manifest, nullptr) << "manifest 1 is missing";
    const std::string text(manifest->data.begin(), manifest->data.end());
    for (const auto& row : kManifestTexts) {
        EXPECT_EQ(text.find(row.text) != std::string::npos, row.wanted)
            << (row.wanted ? "lacks " : "has ") << row.text;
    }
}

// ---------------------------------------------------------------------------
// String table: string 101 and nothing else.

TEST_P(ExecutableTest, StringTableHoldsOnlyTheAboutItem) {
    const std::uint16_t block_id = 101 / 16 + 1;
    const pe::Resource* block = Find(pe::kRtString, block_id);
    ASSERT_NE(block, nullptr) << "string block " << block_id << " (strings 96 to 111) is missing";
    auto strings = pe::ParseStringBlock(block->data);
    ASSERT_TRUE(strings.has_value()) << "string block " << block_id << " is malformed";
    for (int i = 0; i < 16; ++i) {
        const int id = (block_id - 1) * 16 + i;
        const std::u16string expected = id == 101 ? Wide("&About Tarrowby...") : std::u16string();
        EXPECT_EQ(pe::Quote((*strings)[i]), pe::Quote(expected)) << "string " << id;
    }
}

// ---------------------------------------------------------------------------
// Version resource.

constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t VOS__WINDOWS32 = 0x00000004;
constexpr std::uint32_t VFT_APP = 0x00000001;

struct VersionString {
    const char* key;
    const char* value;
};

const VersionString kVersionStrings[] = {
    {"CompanyName", ""},
    {"FileDescription", "Tarrowby MFC Application"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "Tarrowby"},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "Tarrowby.EXE"},
    {"ProductName", "Tarrowby Application"},
    {"ProductVersion", "1, 0, 0, 1"},
};

// Keys that may be there with any value; their values are shown.
const char* const kToleratedVersionKeys[] = {"LegalCopyright"};

class VersionTest : public ExecutableTest {
protected:
    void SetUp() override {
        ExecutableTest::SetUp();
        if (HasFatalFailure()) return;
        const pe::Resource* resource = Find(pe::kRtVersion, 1);
        ASSERT_NE(resource, nullptr) << "version resource 1 is missing";
        info_ = pe::ParseVersionInfo(resource->data);
        ASSERT_TRUE(info_.has_value()) << "version resource is malformed";
    }
    std::optional<pe::VersionInfo> info_;
};

TEST_P(VersionTest, FixedInfoIsVersion1001ForAWindowsApplication) {
    EXPECT_EQ(pe::Utf8(info_->root.key), "VS_VERSION_INFO");
    ASSERT_TRUE(info_->fixed.has_value()) << "no VS_FIXEDFILEINFO";
    const pe::FixedFileInfo& f = *info_->fixed;
    EXPECT_EQ(Hex(f.signature), Hex(kFixedFileInfoSignature)) << "signature";
    EXPECT_EQ(Hex(f.file_version_ms), Hex(0x00010000)) << "file version 1.0";
    EXPECT_EQ(Hex(f.file_version_ls), Hex(0x00000001)) << "file version .0.1";
    EXPECT_EQ(Hex(f.product_version_ms), Hex(0x00010000)) << "product version 1.0";
    EXPECT_EQ(Hex(f.product_version_ls), Hex(0x00000001)) << "product version .0.1";
    EXPECT_EQ(Hex(f.file_os), Hex(VOS__WINDOWS32)) << "FileOS";
    EXPECT_EQ(Hex(f.file_type), Hex(VFT_APP)) << "FileType";
    std::cout << "[   INFO   ] " << Exe().label << ": FileFlagsMask " << Hex(f.file_flags_mask)
              << ", FileFlags " << Hex(f.file_flags) << ", FileSubtype " << Hex(f.file_subtype) << "\n";
}

TEST_P(VersionTest, OneEnglishUnicodeStringBlockWithTheProductStrings) {
    std::vector<const pe::VersionBlock*> string_infos;
    for (const pe::VersionBlock& c : info_->root.children) {
        if (c.key == u"StringFileInfo") string_infos.push_back(&c);
    }
    ASSERT_EQ(string_infos.size(), 1u) << "StringFileInfo blocks";
    const std::vector<pe::VersionBlock>& tables = string_infos[0]->children;
    ASSERT_EQ(tables.size(), 1u) << "string blocks in StringFileInfo";
    EXPECT_EQ(Lower(pe::Utf8(tables[0].key)), "040904b0") << "string block key";

    std::map<std::string, std::vector<std::string>> found;
    for (const pe::VersionBlock& s : tables[0].children) found[pe::Utf8(s.key)].push_back(pe::Quote(s.text));

    for (const VersionString& expected : kVersionStrings) {
        const auto it = found.find(expected.key);
        if (it == found.end()) {
            ADD_FAILURE() << "version string " << expected.key << " is missing";
            continue;
        }
        EXPECT_EQ(it->second.size(), 1u) << "version string " << expected.key << " appears more than once";
        EXPECT_EQ(it->second.front(), pe::Quote(Wide(expected.value))) << "version string " << expected.key;
    }
    for (const auto& [key, values] : found) {
        const bool listed = std::any_of(std::begin(kVersionStrings), std::end(kVersionStrings),
                                        [&](const VersionString& v) { return key == v.key; });
        const bool tolerated = std::any_of(std::begin(kToleratedVersionKeys), std::end(kToleratedVersionKeys),
                                           [&](const char* k) { return key == k; });
        if (tolerated) {
            std::cout << "[   INFO   ] " << Exe().label << ": version string " << key << " = "
                      << values.front() << "\n";
        }
        EXPECT_TRUE(listed || tolerated) << "unexpected version string " << key << " = " << values.front();
    }
}

TEST_P(VersionTest, TranslationIsEnglishUsUnicode) {
    const pe::VersionBlock* var_info = info_->root.Child(u"VarFileInfo");
    ASSERT_NE(var_info, nullptr) << "no VarFileInfo block";
    const pe::VersionBlock* translation = var_info->Child(u"Translation");
    ASSERT_NE(translation, nullptr) << "no Translation entry";
    ASSERT_EQ(translation->value.size(), 4u) << "Translation holds one language and code page pair";
    const std::uint16_t language = translation->value[0] | (translation->value[1] << 8);
    const std::uint16_t code_page = translation->value[2] | (translation->value[3] << 8);
    EXPECT_EQ(Hex(language, 4), Hex(LANG_ENGLISH_US, 4)) << "Translation language";
    EXPECT_EQ(code_page, 1200) << "Translation code page (1200 is Unicode)";
}

// ---------------------------------------------------------------------------
// Dialog templates.

// Every control is a visible child; the rows list the other style bits.
constexpr std::uint32_t kEveryControl = WS_CHILD | WS_VISIBLE;

SzOrOrd Text(const char* text) {
    return SzOrOrd::Text(Wide(text));
}
SzOrOrd Image(std::uint16_t resource_id) {
    return SzOrOrd::Ordinal(resource_id);
}
const SzOrOrd kNoText = SzOrOrd::None();

struct ControlRow {
    int id;
    std::uint16_t atom;
    int x, y, cx, cy;
    SzOrOrd title;
    std::uint32_t style;  // without kEveryControl
    std::uint32_t ex_style = 0;
};

struct DialogRow {
    std::uint16_t id;
    const char* name;
    std::uint16_t language;
    bool extended;
    int x, y, cx, cy;
    const char* face;
    std::uint16_t point_size;
    const char* caption;
    std::uint32_t style;
    std::uint32_t ex_style;
    std::vector<ControlRow> controls;
};

constexpr std::uint16_t kButton = pe::kAtomButton;
constexpr std::uint16_t kEdit = pe::kAtomEdit;
constexpr std::uint16_t kStatic = pe::kAtomStatic;
constexpr std::uint16_t kCombo = pe::kAtomComboBox;

// The tool dialogs share one frame: hidden, with a title bar, a system menu
// and a modal frame.
constexpr std::uint32_t kToolDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// clang-format off
const DialogRow kAboutBox = {
    .id = 100, .name = "IDD_ABOUTBOX", .language = LANG_ENGLISH_US, .extended = true,
    .x = 0, .y = 0, .cx = 87, .cy = 97, .face = "MS Serif", .point_size = 8, .caption = "",
    .style = WS_POPUP | DS_MODALFRAME | DS_SETFONT, .ex_style = 0,
    .controls = {
        {1,  kButton, 27, 70, 32, 14, Text("OK"), BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
        {-1, kStatic, 31, 5,  20, 20, Image(128), SS_ICON},
        {-1, kStatic, 15, 90, 57, 4,  Image(133), SS_BITMAP, WS_EX_TRANSPARENT},
    },
};

const DialogRow kLauncher = {
    .id = 102, .name = "IDD_COMPANION_DIALOG", .language = LANG_ENGLISH_US, .extended = true,
    .x = 0, .y = 0, .cx = 150, .cy = 156, .face = "MS Serif", .point_size = 6, .caption = "Tarrowby Companion",
    .style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT, .ex_style = WS_EX_APPWINDOW,
    .controls = {
        {1038, kButton, 7,  7,   32,  32, kNoText, BS_ICON | BS_MULTILINE | WS_TABSTOP},
        {1027, kButton, 7,  43,  32,  32, kNoText, BS_ICON | WS_TABSTOP},
        {1037, kButton, 7,  79,  32,  32, kNoText, BS_ICON | WS_TABSTOP},
        {1039, kStatic, 42, 7,   100, 10, Text("Charge Delta Calculator"), SS_CENTER | SS_SUNKEN | WS_GROUP},
        {1040, kStatic, 42, 43,  100, 10, Text("Station Current Finder"), SS_CENTER | SS_SUNKEN | WS_GROUP},
        {1041, kStatic, 42, 79,  100, 10, Text("Tessary Lookup"), SS_CENTER | SS_SUNKEN | WS_GROUP},
        {-1,   kStatic, 42, 23,  98,  16, Text("Calculate the Current differential\nbetween two Stations"),
         SS_LEFT | WS_GROUP},
        {-1,   kStatic, 42, 59,  98,  16, Text("Find all Stations with a specified\nCurrent"), SS_LEFT | WS_GROUP},
        {-1,   kStatic, 42, 94,  98,  16, Text("Look up a Station from its\nTessary Number"), SS_LEFT | WS_GROUP},
        {1042, kButton, 7,  114, 32,  32, kNoText, BS_ICON | WS_TABSTOP},
        {1043, kStatic, 42, 114, 100, 10, Text("Token Collection Table"), SS_CENTER | SS_SUNKEN | WS_GROUP},
        {-1,   kStatic, 42, 130, 98,  16, Text("Summary of Tokens claimable\nafter each Move"), SS_LEFT | WS_GROUP},
    },
};

const DialogRow kCurrentFinder = {
    .id = 136, .name = "IDD_CURRENT_FINDER", .language = LANG_ENGLISH_UK, .extended = false,
    .x = 0, .y = 0, .cx = 134, .cy = 66, .face = "MS Serif", .point_size = 8, .caption = "Station Current Finder",
    .style = kToolDialog, .ex_style = 0,
    .controls = {
        {1028, kStatic, 41, 3,  90, 60, kNoText, SS_LEFT | SS_NOPREFIX | SS_SUNKEN | WS_BORDER | WS_GROUP},
        {1026, kEdit,   7,  11, 25, 12, kNoText, ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {-1,   kStatic, 8,  3,  24, 8,  Text("Current"), SS_LEFT | WS_GROUP},
        {1033, kButton, 7,  50, 25, 12, Text("Find"), BS_DEFPUSHBUTTON | WS_TABSTOP},
    },
};

const DialogRow kTessaryLookup = {
    .id = 137, .name = "IDD_TESSARY_LOOKUP", .language = LANG_ENGLISH_UK, .extended = false,
    .x = 0, .y = 0, .cx = 106, .cy = 42, .face = "MS Serif", .point_size = 8, .caption = "Tessary Lookup",
    .style = kToolDialog, .ex_style = 0,
    .controls = {
        {1038, kStatic, 4,  27, 99, 12, kNoText, SS_CENTER | SS_NOPREFIX | SS_SUNKEN | WS_BORDER | WS_GROUP},
        {1037, kEdit,   40, 6,  25, 12, kNoText, ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {-1,   kStatic, 3,  4,  33, 17, Text("Tessary\nNumber"), SS_RIGHT | WS_GROUP},
        {1033, kButton, 67, 6,  34, 12, Text("Lookup"), BS_DEFPUSHBUTTON | WS_TABSTOP},
    },
};

constexpr std::uint32_t kCurrentBox = SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP;
constexpr std::uint32_t kStationList = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP;

const DialogRow kChargeDelta = {
    .id = 140, .name = "IDD_CHARGE_DELTA", .language = LANG_ENGLISH_UK, .extended = false,
    .x = 0, .y = 0, .cx = 150, .cy = 60, .face = "MS Serif", .point_size = 8, .caption = "Charge Delta Calculator",
    .style = kToolDialog, .ex_style = 0,
    .controls = {
        {1045, kCombo,  25,  4,  85, 85, kNoText, kStationList},
        {1044, kCombo,  25,  20, 85, 85, kNoText, kStationList},
        {-1,   kStatic, 7,   7,  15, 8,  Text("From"), SS_RIGHT | WS_GROUP},
        {-1,   kStatic, 7,   22, 15, 8,  Text("To"), SS_RIGHT | WS_GROUP},
        {1005, kStatic, 121, 5,  25, 14, kNoText, kCurrentBox},
        {1006, kStatic, 121, 20, 25, 14, kNoText, kCurrentBox},
        {1007, kStatic, 121, 42, 25, 14, kNoText, kCurrentBox},
        {-1,   kStatic, 93,  42, 23, 13, Text("Delta ="), SS_RIGHT | SS_CENTERIMAGE | WS_GROUP},
        {-1,   kStatic, 91,  38, 56, 1,  kNoText, SS_ETCHEDHORZ},
    },
};

// The token table's cells and its ruled lines, one dialog unit thick.
ControlRow Situation(const char* text, int y, int width = 90) {
    return {-1, kStatic, 10, y, width, 8, Text(text), SS_RIGHT | WS_GROUP};
}
ControlRow Tokens(const char* text, int y, int width) {
    return {-1, kStatic, 110, y, width, 8, Text(text), SS_LEFT | WS_GROUP};
}
ControlRow Across(int y) { return {-1, kStatic, 5, y, 175, 1, kNoText, SS_BLACKFRAME | SS_SUNKEN}; }
ControlRow Down(int x) { return {-1, kStatic, x, 5, 1, 130, kNoText, SS_BLACKFRAME | SS_SUNKEN}; }

const DialogRow kTokenTable = {
    .id = 145, .name = "IDD_TOKEN_TABLE", .language = LANG_ENGLISH_UK, .extended = false,
    .x = 0, .y = 0, .cx = 187, .cy = 146, .face = "MS Sans Serif", .point_size = 8, .caption = "Token Collection Table",
    .style = kToolDialog, .ex_style = 0,
    .controls = {
        Situation("Zone with Pass", 10),
        Situation("Two-Line Interchange", 25),
        Situation("Three-Line Interchange", 35),
        Situation("Four-Line Interchange", 45),
        Situation("Five-plus-Line Interchange", 55, 89),
        Down(105),
        Situation("Passing two Interchanges", 70),
        Situation("Passing three Interchanges", 80),
        Situation("Passing four Interchanges", 90),
        Situation("Passing five Interchanges", 100),
        Across(110),
        Situation("Not changing Line", 115),
        Situation("Passing", 125),
        Tokens("+1 Bronze", 10, 33),
        Tokens("+1 Red", 25, 24),
        Tokens("+1 Black", 35, 29),
        Tokens("+1 Blue", 45, 25),
        Tokens("+1 Silver", 55, 28),
        Tokens("+1 Red", 70, 24),
        Tokens("+1 Black", 80, 29),
        Tokens("+1 Blue", 90, 25),
        Tokens("+1 Silver", 100, 28),
        Tokens("+1 Black", 115, 29),
        Tokens("+2 Red/Blue/Black", 125, 63),
        Across(65),
        Across(20),
        Across(5),
        Across(135),
        Down(180),
        Down(5),
    },
};
// clang-format on

void PrintTo(const DialogRow* dialog, std::ostream* out) {
    *out << "template " << dialog->id << " " << dialog->name;
}

const DialogRow* const kDialogs[] = {&kAboutBox,      &kLauncher,    &kCurrentFinder,
                                     &kTessaryLookup, &kChargeDelta, &kTokenTable};

win32::StyleKind KindOf(std::uint16_t atom) {
    switch (atom) {
        case kButton:
            return StyleKind::kButton;
        case kEdit:
            return StyleKind::kEdit;
        case kStatic:
            return StyleKind::kStatic;
        case kCombo:
            return StyleKind::kComboBox;
        default:
            return StyleKind::kOther;
    }
}

std::string ClassName(const SzOrOrd& window_class) {
    if (window_class.kind != SzOrOrd::Kind::kOrdinal) return window_class.ToString();
    switch (window_class.ordinal) {
        case kButton:
            return "button (0x0080)";
        case kEdit:
            return "edit (0x0081)";
        case kStatic:
            return "static (0x0082)";
        case pe::kAtomListBox:
            return "list box (0x0083)";
        case pe::kAtomScrollBar:
            return "scroll bar (0x0084)";
        case kCombo:
            return "combo box (0x0085)";
        default:
            return "atom " + Hex(window_class.ordinal, 4);
    }
}

// A control's class is its atom, or the system class's name, which the dialog
// manager resolves to the same class (windres writes a CONTROL statement's
// class that way, in capitals).
bool IsClass(std::uint16_t atom, const SzOrOrd& window_class) {
    if (window_class == SzOrOrd::Ordinal(atom)) return true;
    if (window_class.kind != SzOrOrd::Kind::kText) return false;
    const char* name = atom == kButton              ? "button"
                       : atom == kEdit              ? "edit"
                       : atom == kStatic            ? "static"
                       : atom == pe::kAtomListBox   ? "listbox"
                       : atom == pe::kAtomScrollBar ? "scrollbar"
                       : atom == kCombo             ? "combobox"
                                                    : "";
    return Lower(pe::Utf8(window_class.text)) == name;
}

// Collects "field: expected X, actual Y" lines for one template.
class Differences {
public:
    explicit Differences(std::string dialog) : dialog_(std::move(dialog)) {}

    template <typename T>
    void Check(const std::string& where, const char* field, const T& expected, const T& actual) {
        if (!(expected == actual)) Add(where, field, Show(expected), Show(actual));
    }
    void Add(const std::string& where, const char* field, const std::string& expected,
             const std::string& actual) {
        lines_.push_back(dialog_ + (where.empty() ? "" : ", " + where) + ", " + field + ": expected " +
                         expected + ", actual " + actual);
    }
    bool empty() const { return lines_.empty(); }
    std::string Report() const {
        std::string out;
        for (const std::string& l : lines_) out += "\n  " + l;
        return out;
    }

private:
    static std::string Show(const std::string& s) { return s; }
    static std::string Show(bool b) { return b ? "yes" : "no"; }
    template <typename T>
    static std::string Show(const T& v) {
        return std::to_string(v);
    }

    std::string dialog_;
    std::vector<std::string> lines_;
};

std::string ShowId(std::uint32_t id, bool extended) {
    const std::uint32_t minus_one = extended ? 0xFFFFFFFFu : 0xFFFFu;
    return id == minus_one ? "-1" : std::to_string(id);
}

std::string DescribeRow(const ControlRow& row) {
    return "id " + std::to_string(row.id) + " " + ClassName(SzOrOrd::Ordinal(row.atom)) + " " +
           row.title.ToString();
}

std::string DescribeItem(const pe::DialogItem& item, bool extended) {
    return "id " + ShowId(item.id, extended) + " " + ClassName(item.window_class) + " " +
           item.title.ToString() + " at " + std::to_string(item.x) + "," + std::to_string(item.y);
}

void CompareControl(const ControlRow& want, const pe::DialogItem& got, bool extended,
                    const std::string& where, Differences& diff) {
    const std::uint32_t want_id =
        extended ? static_cast<std::uint32_t>(want.id) : static_cast<std::uint16_t>(want.id);
    if (want_id != got.id) diff.Add(where, "id", ShowId(want_id, extended), ShowId(got.id, extended));
    if (!IsClass(want.atom, got.window_class)) {
        diff.Add(where, "class", ClassName(SzOrOrd::Ordinal(want.atom)), ClassName(got.window_class));
    }
    diff.Check(where, "x", want.x, static_cast<int>(got.x));
    diff.Check(where, "y", want.y, static_cast<int>(got.y));
    diff.Check(where, "cx", want.cx, static_cast<int>(got.cx));
    diff.Check(where, "cy", want.cy, static_cast<int>(got.cy));
    if (!(want.title == got.title)) diff.Add(where, "title", want.title.ToString(), got.title.ToString());
    const std::uint32_t want_style = want.style | kEveryControl;
    if (want_style != got.style) {
        const StyleKind kind = KindOf(want.atom);
        diff.Add(where, "style", DescribeStyle(want_style, kind), DescribeStyle(got.style, kind));
    }
    if (want.ex_style != got.ex_style) {
        diff.Add(where, "exStyle", DescribeExStyle(want.ex_style), DescribeExStyle(got.ex_style));
    }
    diff.Check(where, "helpId", 0u, got.help_id);
    diff.Check(where, "creation data bytes", 0, static_cast<int>(got.creation_data_size));
}

class DialogTest : public ExecutableFixture<std::tuple<Executable, const DialogRow*>> {
protected:
    const Executable& Exe() const override { return std::get<0>(GetParam()); }
    const DialogRow& Want() const { return *std::get<1>(GetParam()); }
};

TEST_P(DialogTest, TemplateMatchesFieldByField) {
    const DialogRow& want = Want();
    const pe::Resource* resource = Find(pe::kRtDialog, want.id);
    ASSERT_NE(resource, nullptr) << "dialog template " << want.id << " (" << want.name << ") is missing";
    const pe::DialogParseResult parsed = pe::ParseDialogTemplate(resource->data);
    ASSERT_TRUE(parsed.dialog.has_value()) << "template " << want.id << " is malformed: " << parsed.error;
    const pe::DialogTemplate& got = *parsed.dialog;

    Differences diff("template " + std::to_string(want.id) + " " + want.name + " (" + Exe().label + ")");
    if (want.language != resource->language) {
        diff.Add("", "language", DescribeLanguage(want.language), DescribeLanguage(resource->language));
    }
    diff.Check("", "extended", want.extended, got.extended);
    diff.Check("", "x", want.x, static_cast<int>(got.x));
    diff.Check("", "y", want.y, static_cast<int>(got.y));
    diff.Check("", "cx", want.cx, static_cast<int>(got.cx));
    diff.Check("", "cy", want.cy, static_cast<int>(got.cy));
    if (want.style != got.style) {
        diff.Add("", "style", DescribeStyle(want.style, StyleKind::kDialog),
                 DescribeStyle(got.style, StyleKind::kDialog));
    }
    if (want.ex_style != got.ex_style) {
        diff.Add("", "exStyle", DescribeExStyle(want.ex_style), DescribeExStyle(got.ex_style));
    }
    diff.Check("", "helpId", 0u, got.help_id);
    diff.Check("", "menu", std::string("none"), got.menu.ToString());
    diff.Check("", "class", std::string("none"), got.window_class.ToString());
    diff.Check("", "caption", pe::Quote(Wide(want.caption)), pe::Quote(got.caption));
    diff.Check("", "font", true, got.has_font);
    diff.Check("", "font face", pe::Quote(Wide(want.face)), pe::Quote(got.face));
    diff.Check("", "font point size", static_cast<int>(want.point_size), static_cast<int>(got.point_size));
    if (got.extended) {
        // Neither bold nor italic: the weight is left to the default or normal.
        if (got.weight != 0 && got.weight != 400)
            diff.Add("", "font weight", "0 or 400", std::to_string(got.weight));
        diff.Check("", "font italic", false, got.italic);
    }

    const std::size_t common = std::min(want.controls.size(), got.items.size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::string where = "control " + std::to_string(i) + " (" + DescribeRow(want.controls[i]) + ")";
        CompareControl(want.controls[i], got.items[i], got.extended, where, diff);
    }
    if (want.controls.size() != got.items.size()) {
        diff.Add("", "control count", std::to_string(want.controls.size()), std::to_string(got.items.size()));
        for (std::size_t i = common; i < want.controls.size(); ++i) {
            diff.Add("control " + std::to_string(i), "missing", DescribeRow(want.controls[i]), "nothing");
        }
        for (std::size_t i = common; i < got.items.size(); ++i) {
            diff.Add("control " + std::to_string(i), "extra", "nothing",
                     DescribeItem(got.items[i], got.extended));
        }
    }
    EXPECT_TRUE(diff.empty()) << diff.Report();
}

// ---------------------------------------------------------------------------
// The reader on damaged copies of each build: it must answer with an image or
// an error and never read out of bounds (the sanitizers make that a failure).

void ParseEveryResource(const pe::PeImage& image) {
    for (const pe::Resource& r : image.resources) {
        if (r.type.is_name) continue;
        switch (r.type.id) {
            case pe::kRtDialog:
                (void)pe::ParseDialogTemplate(r.data);
                break;
            case pe::kRtGroupIcon:
                (void)pe::ParseGroupIcon(r.data);
                break;
            case pe::kRtIcon:
            case pe::kRtBitmap:
                (void)pe::ParseBitmapInfoHeader(r.data);
                break;
            case pe::kRtString:
                (void)pe::ParseStringBlock(r.data);
                break;
            case pe::kRtVersion:
                (void)pe::ParseVersionInfo(r.data);
                break;
            default:
                break;
        }
    }
}

void ExpectImageOrError(std::vector<std::uint8_t> bytes, const std::string& damage) {
    const pe::PeLoadResult result = pe::ParsePe(std::move(bytes));
    EXPECT_NE(result.image.has_value(), !result.error.empty()) << damage << ": neither an image nor an error";
    if (result.image) ParseEveryResource(*result.image);
}

TEST_P(ExecutableTest, ReaderAnswersDamagedCopiesWithAnImageOrAnError) {
    const std::vector<std::uint8_t>& whole = image_->bytes();
    std::size_t resource_start = 0, resource_end = 0;
    for (const pe::Section& s : image_->sections) {
        if (s.name == ".rsrc") {
            resource_start = std::min<std::size_t>(s.raw_offset, whole.size());
            resource_end = std::min<std::size_t>(s.raw_offset + s.raw_size, whole.size());
        }
    }
    ASSERT_LT(resource_start, resource_end) << "no .rsrc section";

    // Cut short: everywhere in the headers, then through the file and its resources.
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < 1024 && n < whole.size(); ++n) lengths.push_back(n);
    for (std::size_t n = 1024; n < whole.size(); n += 4093) lengths.push_back(n);
    for (std::size_t n = resource_start; n < resource_end; n += 61) lengths.push_back(n);
    for (std::size_t n : lengths) {
        ExpectImageOrError(std::vector<std::uint8_t>(whole.begin(), whole.begin() + n),
                           "cut to " + std::to_string(n) + " bytes");
        if (n < 64) {
            EXPECT_FALSE(pe::ParsePe(std::vector<std::uint8_t>(whole.begin(), whole.begin() + n)).image)
                << "a " << n << "-byte file has no headers";
        }
    }

    // Overwritten bytes, the same ones on every run.
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < 1500; ++i) {
        std::vector<std::uint8_t> copy = whole;
        const bool in_headers = i % 3 == 0;
        const std::size_t span =
            in_headers ? std::min<std::size_t>(1024, whole.size()) : resource_end - resource_start;
        const std::size_t at = (in_headers ? 0 : resource_start) + next() % span;
        copy[at] = static_cast<std::uint8_t>(next());
        if (i % 2 == 0) copy[at ^ 1] = static_cast<std::uint8_t>(next());
        ExpectImageOrError(std::move(copy), "byte " + std::to_string(at) + " overwritten");
    }
}

TEST_P(ExecutableTest, ReaderRejectsCutTemplatesAndVersionInfo) {
    for (const pe::Resource& r : image_->resources) {
        if (r.type == pe::ResourceKey::Id(pe::kRtDialog)) {
            ASSERT_TRUE(pe::ParseDialogTemplate(r.data).dialog) << "template " << r.name.ToString();
            // Only the alignment padding at the end may go without harm.
            for (std::size_t n = 0; n + 3 < r.data.size(); ++n) {
                const std::span<const std::uint8_t> cut(r.data.data(), n);
                EXPECT_FALSE(pe::ParseDialogTemplate(cut).dialog)
                    << "template " << r.name.ToString() << " cut to " << n << " bytes";
            }
        }
        if (r.type == pe::ResourceKey::Id(pe::kRtVersion) && r.data.size() >= 2) {
            const std::size_t length = r.data[0] | (r.data[1] << 8);
            for (std::size_t n = 0; n < length && n < r.data.size(); ++n) {
                EXPECT_FALSE(pe::ParseVersionInfo(std::span<const std::uint8_t>(r.data.data(), n)))
                    << "version resource cut to " << n << " bytes";
            }
        }
    }
}

std::string DialogName(const ::testing::TestParamInfo<std::tuple<Executable, const DialogRow*>>& info) {
    return std::string(std::get<0>(info.param).label) + "_" + std::to_string(std::get<1>(info.param)->id);
}

INSTANTIATE_TEST_SUITE_P(Builds, ExecutableTest, ::testing::ValuesIn(kExecutables), ExecutableName);
INSTANTIATE_TEST_SUITE_P(Builds, VersionTest, ::testing::ValuesIn(kExecutables), ExecutableName);
INSTANTIATE_TEST_SUITE_P(Builds, DialogTest,
                         ::testing::Combine(::testing::ValuesIn(kExecutables), ::testing::ValuesIn(kDialogs)),
                         DialogName);

}  // namespace
