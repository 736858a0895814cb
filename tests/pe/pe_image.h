// A small reader of PE32 and PE32+ executables, for checking what the
// Windows builds contain without running them: the headers, the section
// table, the imported DLLs and the resource tree. Every read is bounds-checked;
// a malformed file gives an error text, never a crash.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pe {

// IMAGE_FILE_HEADER.Machine
inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineAmd64 = 0x8664;

// IMAGE_OPTIONAL_HEADER.Magic
inline constexpr std::uint16_t kMagicPe32 = 0x010B;
inline constexpr std::uint16_t kMagicPe32Plus = 0x020B;

// IMAGE_OPTIONAL_HEADER.Subsystem
inline constexpr std::uint16_t kSubsystemWindowsGui = 2;
inline constexpr std::uint16_t kSubsystemWindowsCui = 3;

// IMAGE_FILE_HEADER.Characteristics
inline constexpr std::uint16_t kFileRelocsStripped = 0x0001;
inline constexpr std::uint16_t kFileExecutableImage = 0x0002;
inline constexpr std::uint16_t kFileLargeAddressAware = 0x0020;
inline constexpr std::uint16_t kFile32BitMachine = 0x0100;
inline constexpr std::uint16_t kFileDebugStripped = 0x0200;
inline constexpr std::uint16_t kFileDll = 0x2000;

// IMAGE_OPTIONAL_HEADER.DllCharacteristics
inline constexpr std::uint16_t kDllHighEntropyVa = 0x0020;
inline constexpr std::uint16_t kDllDynamicBase = 0x0040;
inline constexpr std::uint16_t kDllForceIntegrity = 0x0080;
inline constexpr std::uint16_t kDllNxCompat = 0x0100;
inline constexpr std::uint16_t kDllNoIsolation = 0x0200;
inline constexpr std::uint16_t kDllNoSeh = 0x0400;
inline constexpr std::uint16_t kDllNoBind = 0x0800;
inline constexpr std::uint16_t kDllAppContainer = 0x1000;
inline constexpr std::uint16_t kDllWdmDriver = 0x2000;
inline constexpr std::uint16_t kDllGuardCf = 0x4000;
inline constexpr std::uint16_t kDllTerminalServerAware = 0x8000;

// IMAGE_SECTION_HEADER.Characteristics
inline constexpr std::uint32_t kSectionCode = 0x00000020;
inline constexpr std::uint32_t kSectionInitializedData = 0x00000040;
inline constexpr std::uint32_t kSectionUninitializedData = 0x00000080;
inline constexpr std::uint32_t kSectionDiscardable = 0x02000000;
inline constexpr std::uint32_t kSectionShared = 0x10000000;
inline constexpr std::uint32_t kSectionExecute = 0x20000000;
inline constexpr std::uint32_t kSectionRead = 0x40000000;
inline constexpr std::uint32_t kSectionWrite = 0x80000000;

// Data directory indices.
enum DataDirectory : unsigned {
    kDirExport = 0,
    kDirImport = 1,
    kDirResource = 2,
    kDirException = 3,
    kDirSecurity = 4,
    kDirBaseReloc = 5,
    kDirDebug = 6,
    kDirArchitecture = 7,
    kDirGlobalPtr = 8,
    kDirTls = 9,
    kDirLoadConfig = 10,
    kDirBoundImport = 11,
    kDirIat = 12,
    kDirDelayImport = 13,
    kDirComDescriptor = 14,
};

// Predefined resource types.
inline constexpr std::uint16_t kRtCursor = 1;
inline constexpr std::uint16_t kRtBitmap = 2;
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtMenu = 4;
inline constexpr std::uint16_t kRtDialog = 5;
inline constexpr std::uint16_t kRtString = 6;
inline constexpr std::uint16_t kRtAccelerator = 9;
inline constexpr std::uint16_t kRtRcData = 10;
inline constexpr std::uint16_t kRtGroupCursor = 12;
inline constexpr std::uint16_t kRtGroupIcon = 14;
inline constexpr std::uint16_t kRtVersion = 16;
inline constexpr std::uint16_t kRtManifest = 24;

struct DataDirectoryEntry {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

struct Section {
    std::string name;  // long names ("/4") resolved through the COFF string table
    std::uint32_t virtual_address = 0;
    std::uint32_t virtual_size = 0;
    std::uint32_t raw_offset = 0;
    std::uint32_t raw_size = 0;
    std::uint32_t characteristics = 0;

    bool IsWritable() const { return (characteristics & kSectionWrite) != 0; }
    bool IsExecutable() const { return (characteristics & (kSectionExecute | kSectionCode)) != 0; }
};

struct ImportedDll {
    std::string name;                    // as written in the file
    std::vector<std::string> functions;  // by name, or "#N" for an ordinal
    bool delay_loaded = false;
};

// A resource type or name: a 16-bit id, or a string.
struct ResourceKey {
    bool is_name = false;
    std::uint16_t id = 0;
    std::u16string name;

    static ResourceKey Id(std::uint16_t value) { return ResourceKey{false, value, {}}; }
    bool operator==(const ResourceKey&) const = default;
    std::string ToString() const;  // "128" or "\"NAME\""
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    std::uint16_t language = 0;
    std::uint32_t code_page = 0;
    std::vector<std::uint8_t> data;
};

class PeImage {
public:
    // IMAGE_FILE_HEADER
    std::uint16_t machine = 0;
    std::uint16_t number_of_sections = 0;
    std::uint32_t time_date_stamp = 0;
    std::uint16_t characteristics = 0;

    // IMAGE_OPTIONAL_HEADER(32/64)
    std::uint16_t magic = 0;
    std::uint32_t entry_point_rva = 0;
    std::uint64_t image_base = 0;
    std::uint32_t section_alignment = 0;
    std::uint32_t file_alignment = 0;
    std::uint32_t size_of_image = 0;
    std::uint32_t size_of_headers = 0;
    std::uint32_t checksum = 0;
    std::uint16_t subsystem_major = 0;  // the oldest Windows it is made for
    std::uint16_t subsystem_minor = 0;
    std::uint16_t subsystem = 0;
    std::uint16_t dll_characteristics = 0;
    std::uint64_t stack_reserve = 0;
    std::uint64_t stack_commit = 0;
    std::vector<DataDirectoryEntry> data_directories;

    std::vector<Section> sections;
    std::vector<ImportedDll> imports;  // ordinary imports first, then delay-loaded ones
    std::vector<Resource> resources;   // in directory order: type, then name, then language

    bool IsPe32Plus() const { return magic == kMagicPe32Plus; }
    DataDirectoryEntry Directory(unsigned index) const {
        return index < data_directories.size() ? data_directories[index] : DataDirectoryEntry{};
    }
    // The file bytes at an RVA, when all `size` of them lie in one section's
    // file data (or in the headers); nullopt otherwise.
    std::optional<std::span<const std::uint8_t>> BytesAtRva(std::uint32_t rva, std::uint32_t size) const;
    // The file bytes from an RVA to the end of the headers or section data
    // that hold it; empty when the RVA is not backed by the file.
    std::span<const std::uint8_t> TailAtRva(std::uint32_t rva) const;
    // The first resource of that type and id, in any language.
    const Resource* FindResource(std::uint16_t type, std::uint16_t id) const;
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    friend struct PeParser;
    std::vector<std::uint8_t> bytes_;
};

struct PeLoadResult {
    std::optional<PeImage> image;
    std::string error;  // empty when image is set
};

PeLoadResult ParsePe(std::vector<std::uint8_t> bytes);
PeLoadResult LoadPeFile(const std::string& path);

const char* MachineName(std::uint16_t machine);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8(const std::u16string& text);

}  // namespace pe
