#pragma once
// Bounded random access to the bytes of an executable, for the version-resource reader. Every
// read states its offset and length and fails, rather than reading past the end, when the range
// is not wholly inside the source.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace quavik::version {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies `length` bytes from `offset` into `out`; false when the range is not all there.
    virtual bool read(std::uint64_t offset, void* out, std::size_t length) const = 0;

    // `length` bytes from `offset`, or nothing.
    bool read_bytes(std::uint64_t offset, std::size_t length, std::vector<std::uint8_t>& out) const;
};

// Bytes in memory (fixtures, fuzzing).
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, void* out, std::size_t length) const override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// A regular file, read with pread. Opening never blocks (a FIFO or a device is refused) and
// reading never loads more than the ranges asked for.
class FileSource final : public ByteSource {
  public:
    // Nothing when the path does not name a readable regular file.
    static std::unique_ptr<FileSource> open(const char* path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* out, std::size_t length) const override;

  private:
    FileSource(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}
    int descriptor_;
    std::uint64_t size_;
};

// Little- and big-endian loads from raw bytes; the caller has checked the range.
inline std::uint16_t load_u16le(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t load_u32le(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t load_u64le(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(load_u32le(p)) |
           (static_cast<std::uint64_t>(load_u32le(p + 4)) << 32);
}
inline std::uint16_t load_u16be(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t load_u32be(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline std::uint64_t load_u64be(const std::uint8_t* p) {
    return (static_cast<std::uint64_t>(load_u32be(p)) << 32) |
           static_cast<std::uint64_t>(load_u32be(p + 4));
}

inline void store_u16le(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void store_u32le(std::uint8_t* p, std::uint32_t value) {
    store_u16le(p, static_cast<std::uint16_t>(value));
    store_u16le(p + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace quavik::version
