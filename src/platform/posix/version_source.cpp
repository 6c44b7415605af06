#include "version_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quavik::version {

bool ByteSource::read_bytes(std::uint64_t offset, std::size_t length,
                            std::vector<std::uint8_t>& out) const {
    if (length > size() || offset > size() - length) {
        return false;
    }
    out.resize(length);
    return length == 0 || read(offset, out.data(), length);
}

bool MemorySource::read(std::uint64_t offset, void* out, std::size_t length) const {
    if (length > bytes_.size() || offset > bytes_.size() - length) {
        return false;
    }
    if (length != 0) {
        std::memcpy(out, bytes_.data() + offset, length);
    }
    return true;
}

std::unique_ptr<FileSource> FileSource::open(const char* path) {
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(
        new FileSource(descriptor, static_cast<std::uint64_t>(status.st_size)));
}

FileSource::~FileSource() {
    ::close(descriptor_);
}

bool FileSource::read(std::uint64_t offset, void* out, std::size_t length) const {
    if (length > size_ || offset > size_ - length) {
        return false;
    }
    auto* cursor = static_cast<unsigned char*>(out);
    while (length > 0) {
        const ssize_t got = ::pread(descriptor_, cursor, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;  // an error, or the file shrank under us
        }
        cursor += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace quavik::version
