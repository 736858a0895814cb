#include "pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

#include "byte_reader.h"

namespace pe {

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string ResourceKey::ToString() const {
    if (is_name) return "\"" + Utf8(name) + "\"";
    return std::to_string(id);
}

const char* MachineName(std::uint16_t machine) {
    switch (machine) {
        case kMachineI386:
            return "i386";
        case kMachineAmd64:
            return "x86-64";
        case 0x01C4:
            return "ARMv7";
        case 0xAA64:
            return "ARM64";
        default:
            return "unknown";
    }
}

namespace {

// Limits that only a malformed or hostile file reaches; they bound the work.
constexpr std::size_t kMaxImportedDlls = 4096;
constexpr std::size_t kMaxImportedFunctions = 65536;
constexpr std::size_t kMaxResources = 65536;
constexpr std::size_t kMaxNameLength = 4096;

}  // namespace

std::span<const std::uint8_t> PeImage::TailAtRva(std::uint32_t rva) const {
    const std::span<const std::uint8_t> file(bytes_);
    const std::size_t header_end = std::min<std::size_t>(size_of_headers, file.size());
    if (rva < header_end) return file.subspan(rva, header_end - rva);
    for (const Section& s : sections) {
        if (rva < s.virtual_address || s.raw_offset >= file.size()) continue;
        // The file data that the loader maps: the raw data, cut to the
        // virtual size (the rest of the raw data is alignment padding).
        std::uint64_t length = s.raw_size;
        if (s.virtual_size != 0) length = std::min<std::uint64_t>(length, s.virtual_size);
        length = std::min<std::uint64_t>(length, file.size() - s.raw_offset);
        const std::uint64_t delta = rva - s.virtual_address;
        if (delta >= length) continue;
        return file.subspan(static_cast<std::size_t>(s.raw_offset + delta),
                            static_cast<std::size_t>(length - delta));
    }
    return {};
}

std::optional<std::span<const std::uint8_t>> PeImage::BytesAtRva(std::uint32_t rva,
                                                                 std::uint32_t size) const {
    const std::span<const std::uint8_t> tail = TailAtRva(rva);
    if (tail.empty() || tail.size() < size) return std::nullopt;
    return tail.first(size);
}

const Resource* PeImage::FindResource(std::uint16_t type, std::uint16_t id) const {
    for (const Resource& r : resources) {
        if (r.type == ResourceKey::Id(type) && r.name == ResourceKey::Id(id)) return &r;
    }
    return nullptr;
}

struct PeParser {
    PeImage& image;
    std::string error;

    bool Fail(std::string message) {
        if (error.empty()) error = std::move(message);
        return false;
    }

    void Adopt(std::vector<std::uint8_t> bytes) { image.bytes_ = std::move(bytes); }
    std::span<const std::uint8_t> File() const { return image.bytes_; }

    bool StringAtRva(std::uint32_t rva, std::string& out, const char* what) {
        ByteReader r(image.TailAtRva(rva));
        out = r.Asciiz(kMaxNameLength);
        if (!r.ok() || r.size() == 0) return Fail(std::string("unreadable ") + what + " at RVA " + Hex(rva));
        return true;
    }

    static std::string Hex(std::uint64_t value) {
        static const char digits[] = "0123456789ABCDEF";
        std::string out;
        do {
            out.insert(out.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value != 0);
        return "0x" + out;
    }

    bool Headers() {
        ByteReader r(File());
        if (r.U16() != 0x5A4D || !r.ok()) return Fail("no MZ header");
        r.Seek(0x3C);
        const std::uint32_t pe_offset = r.U32();
        if (!r.ok()) return Fail("file too short for the DOS header");
        r.Seek(pe_offset);
        if (r.U32() != 0x00004550 || !r.ok()) return Fail("no PE signature at " + Hex(pe_offset));

        image.machine = r.U16();
        image.number_of_sections = r.U16();
        image.time_date_stamp = r.U32();
        const std::uint32_t symbol_table = r.U32();
        const std::uint32_t symbol_count = r.U32();
        const std::uint16_t optional_size = r.U16();
        image.characteristics = r.U16();
        if (!r.ok()) return Fail("truncated file header");

        const std::size_t optional_start = r.offset();
        ByteReader o(File().subspan(0, std::min<std::size_t>(File().size(), optional_start + optional_size)),
                     optional_start);
        image.magic = o.U16();
        if (!o.ok()) return Fail("truncated optional header");
        const bool plus = image.magic == kMagicPe32Plus;
        if (!plus && image.magic != kMagicPe32)
            return Fail("unknown optional header magic " + Hex(image.magic));
        o.Skip(14);  // linker version, code and data sizes
        image.entry_point_rva = o.U32();
        o.Skip(plus ? 4 : 8);  // BaseOfCode (and BaseOfData in PE32)
        image.image_base = plus ? o.U64() : o.U32();
        image.section_alignment = o.U32();
        image.file_alignment = o.U32();
        o.Skip(8);  // OS and image versions
        image.subsystem_major = o.U16();
        image.subsystem_minor = o.U16();
        o.Skip(4);  // Win32VersionValue
        image.size_of_image = o.U32();
        image.size_of_headers = o.U32();
        image.checksum = o.U32();
        image.subsystem = o.U16();
        image.dll_characteristics = o.U16();
        image.stack_reserve = plus ? o.U64() : o.U32();
        image.stack_commit = plus ? o.U64() : o.U32();
        o.Skip(plus ? 16 : 8);  // heap reserve and commit
        o.Skip(4);              // LoaderFlags
        const std::uint32_t directory_count = o.U32();
        if (!o.ok()) return Fail("optional header shorter than its fixed part");
        if (directory_count > 16) return Fail("more than 16 data directories");
        for (std::uint32_t i = 0; i < directory_count; ++i) {
            DataDirectoryEntry d;
            d.rva = o.U32();
            d.size = o.U32();
            image.data_directories.push_back(d);
        }
        if (!o.ok()) return Fail("data directories run past the optional header");

        ByteReader s(File(), optional_start + optional_size);
        for (std::uint16_t i = 0; i < image.number_of_sections; ++i) {
            Section section;
            std::span<const std::uint8_t> raw_name = s.Bytes(8);
            section.virtual_size = s.U32();
            section.virtual_address = s.U32();
            section.raw_size = s.U32();
            section.raw_offset = s.U32();
            s.Skip(12);  // relocations and line numbers
            section.characteristics = s.U32();
            if (!s.ok()) return Fail("truncated section table");
            for (std::uint8_t c : raw_name) {
                if (c == 0) break;
                section.name.push_back(static_cast<char>(c));
            }
            ResolveLongName(section.name, symbol_table, symbol_count);
            image.sections.push_back(std::move(section));
        }
        return true;
    }

    // "/123" names an entry of the COFF string table, which follows the
    // symbol table; left as written when that cannot be read.
    void ResolveLongName(std::string& name, std::uint32_t symbol_table, std::uint32_t symbol_count) {
        if (name.size() < 2 || name[0] != '/' || symbol_table == 0) return;
        std::uint64_t offset = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9') return;
            offset = offset * 10 + static_cast<std::uint64_t>(name[i] - '0');
        }
        const std::uint64_t strings = symbol_table + static_cast<std::uint64_t>(symbol_count) * 18;
        if (strings + offset >= File().size()) return;
        ByteReader r(File(), static_cast<std::size_t>(strings + offset));
        std::string resolved = r.Asciiz(kMaxNameLength);
        if (r.ok() && !resolved.empty()) name = std::move(resolved);
    }

    bool Thunks(std::uint32_t table_rva, ImportedDll& dll) {
        if (table_rva == 0) return true;
        const bool plus = image.IsPe32Plus();
        const std::uint32_t width = plus ? 8 : 4;
        for (std::size_t i = 0;; ++i) {
            if (i >= kMaxImportedFunctions) return Fail("import table of " + dll.name + " does not end");
            const std::uint64_t at = table_rva + static_cast<std::uint64_t>(i) * width;
            std::optional<std::span<const std::uint8_t>> slot =
                at > 0xFFFFFFFFu ? std::nullopt : image.BytesAtRva(static_cast<std::uint32_t>(at), width);
            if (!slot) return Fail("import table of " + dll.name + " runs out of the file");
            ByteReader r(*slot);
            const std::uint64_t thunk = plus ? r.U64() : r.U32();
            if (thunk == 0) return true;
            const std::uint64_t ordinal_flag = plus ? (1ull << 63) : (1ull << 31);
            if (thunk & ordinal_flag) {
                dll.functions.push_back("#" + std::to_string(thunk & 0xFFFF));
                continue;
            }
            std::string function;
            if (!StringAtRva(static_cast<std::uint32_t>(thunk & 0x7FFFFFFF) + 2, function, "imported name")) {
                return false;
            }
            dll.functions.push_back(std::move(function));
        }
    }

    bool Imports() {
        const DataDirectoryEntry dir = image.Directory(kDirImport);
        if (dir.rva == 0) return true;
        for (std::size_t i = 0;; ++i) {
            if (i >= kMaxImportedDlls) return Fail("import directory does not end");
            std::optional<std::span<const std::uint8_t>> bytes =
                image.BytesAtRva(dir.rva + static_cast<std::uint32_t>(i * 20), 20);
            if (!bytes) return Fail("import directory runs out of the file");
            ByteReader r(*bytes);
            const std::uint32_t lookup = r.U32();
            r.Skip(8);  // TimeDateStamp, ForwarderChain
            const std::uint32_t name = r.U32();
            const std::uint32_t address_table = r.U32();
            if (lookup == 0 && name == 0 && address_table == 0) return true;
            ImportedDll dll;
            if (!StringAtRva(name, dll.name, "imported DLL name")) return false;
            if (!Thunks(lookup != 0 ? lookup : address_table, dll)) return false;
            image.imports.push_back(std::move(dll));
        }
    }

    bool DelayImports() {
        const DataDirectoryEntry dir = image.Directory(kDirDelayImport);
        if (dir.rva == 0) return true;
        for (std::size_t i = 0;; ++i) {
            if (i >= kMaxImportedDlls) return Fail("delay-import directory does not end");
            std::optional<std::span<const std::uint8_t>> bytes =
                image.BytesAtRva(dir.rva + static_cast<std::uint32_t>(i * 32), 32);
            if (!bytes) return Fail("delay-import directory runs out of the file");
            ByteReader r(*bytes);
            const std::uint32_t attributes = r.U32();
            std::uint64_t name = r.U32();
            r.Skip(8);  // module handle, address table
            std::uint64_t names = r.U32();
            if (name == 0) return true;
            if ((attributes & 1) == 0) {  // old descriptors hold virtual addresses
                name -= image.image_base;
                if (names != 0) names -= image.image_base;
            }
            if (name > 0xFFFFFFFFu || names > 0xFFFFFFFFu) return Fail("bad delay-import descriptor");
            ImportedDll dll;
            dll.delay_loaded = true;
            if (!StringAtRva(static_cast<std::uint32_t>(name), dll.name, "delay-loaded DLL name"))
                return false;
            if (!Thunks(static_cast<std::uint32_t>(names), dll)) return false;
            image.imports.push_back(std::move(dll));
        }
    }

    struct DirectoryEntry {
        ResourceKey key;
        bool is_directory = false;
        std::uint32_t target = 0;  // offset from the start of the resource directory
    };

    bool ReadResourceDirectory(std::span<const std::uint8_t> tree, std::uint32_t offset,
                               std::vector<DirectoryEntry>& entries) {
        ByteReader r(tree, offset);
        r.Skip(12);  // Characteristics, TimeDateStamp, version
        const std::uint32_t count = static_cast<std::uint32_t>(r.U16()) + r.U16();
        if (!r.ok()) return Fail("resource directory at " + Hex(offset) + " is truncated");
        for (std::uint32_t i = 0; i < count; ++i) {
            DirectoryEntry e;
            const std::uint32_t name = r.U32();
            const std::uint32_t target = r.U32();
            if (!r.ok()) return Fail("resource directory at " + Hex(offset) + " is truncated");
            if (name & 0x80000000u) {
                ByteReader n(tree, name & 0x7FFFFFFFu);
                const std::uint16_t length = n.U16();
                for (std::uint16_t k = 0; k < length && n.ok(); ++k) {
                    e.key.name.push_back(static_cast<char16_t>(n.U16()));
                }
                if (!n.ok()) return Fail("resource name at " + Hex(name & 0x7FFFFFFFu) + " is truncated");
                e.key.is_name = true;
            } else {
                if (name > 0xFFFF) return Fail("resource id " + Hex(name) + " is wider than 16 bits");
                e.key.id = static_cast<std::uint16_t>(name);
            }
            e.is_directory = (target & 0x80000000u) != 0;
            e.target = target & 0x7FFFFFFFu;
            entries.push_back(std::move(e));
        }
        return true;
    }

    bool Resources() {
        const DataDirectoryEntry dir = image.Directory(kDirResource);
        if (dir.rva == 0) return true;
        std::optional<std::span<const std::uint8_t>> tree = image.BytesAtRva(dir.rva, dir.size);
        if (!tree) return Fail("resource directory is not in the file");

        std::vector<DirectoryEntry> types;
        if (!ReadResourceDirectory(*tree, 0, types)) return false;
        for (const DirectoryEntry& type : types) {
            if (!type.is_directory) return Fail("resource type " + type.key.ToString() + " has no directory");
            std::vector<DirectoryEntry> names;
            if (!ReadResourceDirectory(*tree, type.target, names)) return false;
            for (const DirectoryEntry& name : names) {
                const std::string where = "resource " + type.key.ToString() + "/" + name.key.ToString();
                if (!name.is_directory) return Fail(where + " has no language directory");
                std::vector<DirectoryEntry> languages;
                if (!ReadResourceDirectory(*tree, name.target, languages)) return false;
                for (const DirectoryEntry& language : languages) {
                    if (language.is_directory || language.key.is_name) {
                        return Fail(where + " has a malformed language entry");
                    }
                    if (image.resources.size() >= kMaxResources) return Fail("too many resources");
                    ByteReader d(*tree, language.target);
                    const std::uint32_t data_rva = d.U32();
                    const std::uint32_t size = d.U32();
                    const std::uint32_t code_page = d.U32();
                    if (!d.ok()) return Fail(where + " has a truncated data entry");
                    std::optional<std::span<const std::uint8_t>> data = image.BytesAtRva(data_rva, size);
                    if (!data) return Fail(where + " data at RVA " + Hex(data_rva) + " is not in the file");
                    Resource resource;
                    resource.type = type.key;
                    resource.name = name.key;
                    resource.language = language.key.id;
                    resource.code_page = code_page;
                    resource.data.assign(data->begin(), data->end());
                    image.resources.push_back(std::move(resource));
                }
            }
        }
        return true;
    }
};

PeLoadResult ParsePe(std::vector<std::uint8_t> bytes) {
    PeImage image;
    PeParser parser{image, {}};
    parser.Adopt(std::move(bytes));
    if (!parser.Headers() || !parser.Imports() || !parser.DelayImports() || !parser.Resources()) {
        return PeLoadResult{std::nullopt, parser.error};
    }
    return PeLoadResult{std::move(image), {}};
}

PeLoadResult LoadPeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return PeLoadResult{std::nullopt, "cannot open " + path};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return PeLoadResult{std::nullopt, "cannot read " + path};
    PeLoadResult result = ParsePe(std::move(bytes));
    if (!result.image) result.error = path + ": " + result.error;
    return result;
}

}  // namespace pe
