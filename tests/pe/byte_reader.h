// Bounds-checked little-endian reads over a byte buffer, shared by the PE and
// dialog-template readers. A read that would leave the buffer returns zero and
// marks the reader failed; callers check ok() once after a group of reads, so
// a malformed file gives an error and never an out-of-range access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pe {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t offset = 0)
        : bytes_(bytes), offset_(offset), ok_(offset <= bytes.size()) {}

    bool ok() const { return ok_; }
    std::size_t offset() const { return offset_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }

    // Moves to an absolute offset; past the end fails the reader.
    void Seek(std::size_t offset) {
        if (offset > bytes_.size()) ok_ = false;
        if (ok_) offset_ = offset;
    }
    void Skip(std::size_t count) {
        if (count > remaining()) ok_ = false;
        if (ok_) offset_ += count;
    }
    // Rounds the offset up to a multiple of `alignment` (a power of two),
    // counted from the start of the buffer.
    void Align(std::size_t alignment) {
        const std::size_t aligned = (offset_ + alignment - 1) & ~(alignment - 1);
        if (aligned > bytes_.size()) {
            ok_ = false;
            return;
        }
        offset_ = aligned;
    }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Read(1)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    std::uint64_t U64() { return Read(8); }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }

    // Copies `count` bytes; an empty span when they are not all there.
    std::span<const std::uint8_t> Bytes(std::size_t count) {
        if (count > remaining()) {
            ok_ = false;
            return {};
        }
        std::span<const std::uint8_t> out = bytes_.subspan(offset_, count);
        offset_ += count;
        return out;
    }

    // A NUL-terminated UTF-16 string; the terminator is consumed. Fails when
    // the buffer ends before the terminator.
    std::u16string Utf16z() {
        std::u16string out;
        while (ok_) {
            const char16_t c = static_cast<char16_t>(U16());
            if (!ok_ || c == 0) break;
            out.push_back(c);
        }
        return out;
    }

    // A NUL-terminated 8-bit string of at most `limit` characters.
    std::string Asciiz(std::size_t limit) {
        std::string out;
        while (ok_) {
            if (out.size() >= limit) {
                ok_ = false;
                break;
            }
            const char c = static_cast<char>(U8());
            if (!ok_ || c == '\0') break;
            out.push_back(c);
        }
        return out;
    }

private:
    std::uint64_t Read(std::size_t width) {
        if (width > remaining()) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            value |= static_cast<std::uint64_t>(bytes_[offset_ + i]) << (8 * i);
        }
        offset_ += width;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_;
    bool ok_;
};

}  // namespace pe
