#include "platform/posix/hive_classes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/hive_file.h"

namespace hivora {

namespace {

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
void put(std::string& b, std::size_t at, std::uint64_t v, int width) {
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool readAt(int fd, std::string& out, std::size_t count, std::uint64_t offset) {
    out.assign(count, '\0');
    return ::pread(fd, out.data(), count, static_cast<off_t>(offset)) ==
           static_cast<ssize_t>(count);
}
bool writeAt(int fd, const std::string& bytes, std::uint64_t offset) {
    return ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
           static_cast<ssize_t>(bytes.size());
}

// Key record fields, counted from the start of the key's cell (its size comes first).
constexpr std::size_t kNkParent = 4 + 16;
constexpr std::size_t kNkLargestClass = 4 + 56;
constexpr std::size_t kNkClassOffset = 4 + 48;
constexpr std::size_t kNkClassLength = 4 + 74;
constexpr std::size_t kNkHeader = 4 + 76;

}  // namespace

Status addKeyClasses(const std::string& path, const std::vector<KeyClassPatch>& patches) {
    if (patches.empty()) return Status::ok();
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return Status::error("无法打开 " + path + "：" + std::strerror(errno), errno);
    auto fail = [&](const char* what) {
        const int error = errno != 0 ? errno : EIO;
        ::close(fd);
        return Status::error(std::string(what) + " " + path + "：" + std::strerror(error), error);
    };
    std::string base;
    errno = 0;
    if (!readAt(fd, base, 512, 0) || base.compare(0, 4, "regf") != 0) return fail("无法读取");
    const std::uint32_t binsSize = le32(base, 40);

    // The new bin: its header, one cell per class name, and a free cell for what is left.
    std::string bin(32, '\0');
    bin.replace(0, 4, "hbin");
    put(bin, 4, binsSize, 4);
    std::vector<std::pair<std::string, std::string>> records;  // (key cell offset, record)
    for (const KeyClassPatch& patch : patches) {
        std::string nk;
        if (!readAt(fd, nk, kNkHeader, patch.nodeOffset)) return fail("无法读取");
        if (nk.compare(4, 2, "nk") != 0 || le32(nk, kNkClassOffset) != 0xFFFFFFFFu) continue;
        const std::size_t bytes = std::min<std::size_t>(patch.keyClass.size() * 2, 0xFFFF);
        const std::size_t cell = (4 + bytes + 7) / 8 * 8;
        const std::size_t at = bin.size();
        bin.resize(at + cell, '\0');
        put(bin, at, static_cast<std::uint32_t>(-static_cast<std::int32_t>(cell)), 4);
        for (std::size_t i = 0; i * 2 < bytes; ++i) put(bin, at + 4 + 2 * i, patch.keyClass[i], 2);
        put(nk, kNkClassOffset, binsSize + at, 4);
        put(nk, kNkClassLength, bytes, 2);
        if (!writeAt(fd, nk, patch.nodeOffset)) return fail("无法写入");
        // The parent's record keeps the longest class name of its sub-keys.
        const std::uint64_t parent = kHiveBaseBlockSize + std::uint64_t{le32(nk, kNkParent)};
        std::string parentNk;
        if (readAt(fd, parentNk, kNkHeader, parent) && parentNk.compare(4, 2, "nk") == 0 &&
            le32(parentNk, kNkLargestClass) < bytes) {
            std::string largest(4, '\0');
            put(largest, 0, bytes, 4);
            if (!writeAt(fd, largest, parent + kNkLargestClass)) return fail("无法写入");
        }
    }
    if (bin.size() == 32) {
        ::close(fd);
        return Status::ok();
    }
    const std::size_t used = bin.size();
    bin.resize((used + kHiveBinAlignment - 1) / kHiveBinAlignment * kHiveBinAlignment, '\0');
    if (bin.size() > used) put(bin, used, bin.size() - used, 4);
    put(bin, 8, bin.size(), 4);
    const std::uint64_t end = kHiveBaseBlockSize + std::uint64_t{binsSize};
    if (!writeAt(fd, bin, end) || ::ftruncate(fd, static_cast<off_t>(end + bin.size())) != 0)
        return fail("无法写入");
    put(base, 40, binsSize + bin.size(), 4);
    put(base, 508, hiveBaseBlockChecksum(base), 4);
    if (!writeAt(fd, base, 0)) return fail("无法写入");
    if (::close(fd) != 0) return Status::error("无法写入 " + path, errno);
    return Status::ok();
}

}  // namespace hivora
