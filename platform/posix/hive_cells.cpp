#include "platform/posix/hive_cells.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <vector>

#include "platform/posix/hive_file.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// Values with more data than this may be kept in big data segments, which are left to libhivex.
constexpr std::uint32_t kLargestPlainData = 16344;
}  // namespace

std::uint32_t HiveCells::le(std::uint64_t at, int width) const {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(m_bytes[at + static_cast<std::uint64_t>(i)]);
    return v;
}

std::uint64_t HiveCells::cellData(std::uint32_t offset, std::uint64_t count) const {
    const std::uint64_t cell = kHiveBaseBlockSize + std::uint64_t{offset};
    if (offset == kNone || !has(cell, 4)) return 0;
    const std::int32_t size = static_cast<std::int32_t>(le(cell, 4));
    if (size >= 0) return 0;  // a free cell
    const std::uint64_t usable = static_cast<std::uint64_t>(-static_cast<std::int64_t>(size));
    if (usable < 4 + count || !has(cell, usable)) return 0;
    return cell + 4;
}

std::u16string HiveCells::text(std::uint64_t at, std::size_t bytes, bool latin1) const {
    std::u16string out;
    if (latin1) {
        out.reserve(bytes);
        for (std::size_t i = 0; i < bytes; ++i)
            out.push_back(static_cast<unsigned char>(m_bytes[at + i]));
    } else {
        out.reserve(bytes / 2);
        for (std::size_t i = 0; i + 1 < bytes; i += 2)
            out.push_back(static_cast<char16_t>(le(at + i, 2)));
    }
    return out;
}

std::optional<std::u16string> HiveCells::keyName(std::uint64_t node) const {
    if (!has(node, 80) || m_bytes[node + 4] != 'n' || m_bytes[node + 5] != 'k') return std::nullopt;
    const std::uint32_t length = le(node + 76, 2);
    if (!has(node + 80, length)) return std::nullopt;
    return text(node + 80, length, (le(node + 6, 2) & 0x20) != 0);
}

std::optional<std::u16string> HiveCells::keyClass(std::uint64_t node) const {
    if (!has(node, 80)) return std::nullopt;
    const std::uint32_t length = le(node + 78, 2);
    if (length == 0) return std::nullopt;
    const std::uint64_t at = cellData(le(node + 52, 4), length);
    if (at == 0) return std::nullopt;
    return text(at, length, false);
}

bool HiveCells::readValues(std::uint64_t node, TreeKey& key) const {
    if (!has(node, 80) || m_bytes[node + 4] != 'n' || m_bytes[node + 5] != 'k') return false;
    const std::uint32_t count = le(node + 40, 4);
    if (count == 0) return true;
    const std::uint64_t list = cellData(le(node + 44, 4), std::uint64_t{count} * 4);
    if (list == 0) return false;
    struct Read {
        std::u16string name;
        std::uint32_t type;
        std::uint64_t at;
        std::uint32_t length;
    };
    std::vector<Read> values;
    values.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t vk = cellData(le(list + 4 * std::uint64_t{i}, 4), 24);
        if (vk == 0 || m_bytes[vk] != 'v' || m_bytes[vk + 1] != 'k') return false;
        const std::uint32_t nameLength = le(vk + 2, 2);
        const std::uint32_t size = le(vk + 4, 4);
        if (!has(vk + 20, nameLength)) return false;
        Read value{text(vk + 20, nameLength, (le(vk + 16, 2) & 1) != 0), le(vk + 12, 4), 0, 0};
        if ((size & 0x80000000u) != 0) {
            value.length = size & 0x7FFFFFFFu;
            if (value.length > 4) return false;
            value.at = vk + 8;
        } else if (size > kLargestPlainData) {
            return false;
        } else if (size > 0) {
            value.length = size;
            value.at = cellData(le(vk + 8, 4), size);
            if (value.at == 0) return false;
        }
        values.push_back(std::move(value));
    }
    for (const Read& v : values) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(m_bytes + v.at);
        key.setValue(v.name, v.type, std::vector<std::uint8_t>(data, data + v.length));
    }
    return true;
}

std::uint64_t HiveCells::root() const {
    if (!has(0, 512)) return 0;
    const std::uint64_t at = kHiveBaseBlockSize + std::uint64_t{le(36, 4)};
    return has(at, 80) ? at : 0;
}

void HiveCells::addChildren(std::uint64_t offsetField, std::vector<std::uint64_t>& out,
                            bool mayNest) const {
    const std::uint64_t list = cellData(static_cast<std::uint32_t>(offsetField), 4);
    if (list == 0) return;
    const char a = m_bytes[list], b = m_bytes[list + 1];
    const std::uint32_t count = le(list + 2, 2);
    const bool hashed = a == 'l' && (b == 'f' || b == 'h');
    const bool plain = (a == 'l' && b == 'i') || (a == 'r' && b == 'i');
    if (!hashed && !plain) return;
    const std::uint64_t step = hashed ? 8 : 4;
    if (!has(list + 4, count * step)) return;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = le(list + 4 + i * step, 4);
        if (a == 'r') {
            // An index root lists lists, never other index roots.
            if (mayNest) addChildren(entry, out, false);
        } else if (entry != kNone && has(kHiveBaseBlockSize + std::uint64_t{entry}, 80)) {
            out.push_back(kHiveBaseBlockSize + std::uint64_t{entry});
        }
    }
}

std::vector<std::uint64_t> HiveCells::children(std::uint64_t node) const {
    std::vector<std::uint64_t> out;
    if (!has(node, 80) || le(node + 24, 4) == 0) return out;
    addChildren(le(node + 32, 4), out, true);
    return out;
}

std::uint64_t HiveCells::find(std::uint64_t node, const KeyPath& path) const {
    for (const std::u16string& name : path) {
        std::uint64_t next = 0;
        for (std::uint64_t child : children(node)) {
            const auto childName = keyName(child);
            if (childName && namesEqual(*childName, name)) {
                next = child;
                break;
            }
        }
        if (next == 0) return 0;
        node = next;
    }
    return node;
}

std::unique_ptr<MappedHive> MappedHive::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    void* bytes = MAP_FAILED;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 4096)
        bytes =
            ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (bytes == MAP_FAILED) return nullptr;
    std::unique_ptr<MappedHive> hive(
        new MappedHive(static_cast<const char*>(bytes), static_cast<std::size_t>(info.st_size)));
    // A file cut short of what its base block counts is not looked into at all.
    const auto base = readHiveBaseBlock(std::string_view(hive->m_bytes, 512));
    if (!base || hive->m_size < kHiveBaseBlockSize + std::uint64_t{base->binsSize}) return nullptr;
    return hive;
}

MappedHive::~MappedHive() {
    ::munmap(const_cast<char*>(m_bytes), m_size);
}

}  // namespace hivora
