#include "platform/posix/hive_cells.h"

#include <vector>

#include "platform/posix/hive_file.h"

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

}  // namespace hivora
