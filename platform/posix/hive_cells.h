#pragma once
// Key names, values and class names read straight from the bytes of a hive file mapped in memory,
// for loading a whole hive quickly: libhivex hands each name and value out in a block of its own,
// converted to UTF-8, which for a hive of hundreds of thousands of values costs more than the
// reading itself. Only plainly readable records are read here; anything else (data kept in big
// data segments, a record that points outside the file or is not what it should be) is left to
// libhivex, which the caller falls back on.
//
// Facts of the format used: offsets in records count from the hive bins' start (byte 4096); a
// cell starts with its size (negative when in use). A key record ("nk") holds at, from its cell,
// +6 its flags (0x20: the name is Latin-1, else UTF-16LE), +40 its value count, +44 its value
// list, +52 its class name's cell, +76 its name's length, +78 its class name's length, +80 its
// name. A value record ("vk"): +6 name length, +8 data size (top bit: the data, at most 4 bytes,
// is in the data offset field itself), +12 data offset, +16 type, +20 flags (1: Latin-1 name),
// +24 name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_tree.h"

namespace hivora {

class HiveCells {
  public:
    HiveCells(const char* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

    // The name of the key whose cell is at `node` (from the file's start); nothing when it
    // cannot be read plainly.
    std::optional<std::u16string> keyName(std::uint64_t node) const;
    // The key's class name; nothing when it has none or it cannot be read plainly.
    std::optional<std::u16string> keyClass(std::uint64_t node) const;
    // Sets every value of the key at `node` into `key`. False, with `key` untouched, when any of
    // them cannot be read plainly.
    bool readValues(std::uint64_t node, TreeKey& key) const;

    // The root key's cell, from the base block; 0 when it lies outside the file.
    std::uint64_t root() const;
    // The cells of the sub-keys of the key at `node`, in the hive's order; those of a list that
    // cannot be read plainly are left out.
    std::vector<std::uint64_t> children(std::uint64_t node) const;
    // The key at `path` below `node` (names compared as the registry compares them); 0 when a
    // name is missing.
    std::uint64_t find(std::uint64_t node, const KeyPath& path) const;

  private:
    void addChildren(std::uint64_t list, std::vector<std::uint64_t>& out, bool mayNest) const;
    bool has(std::uint64_t at, std::uint64_t count) const {
        return m_bytes != nullptr && at <= m_size && count <= m_size - at;
    }
    std::uint32_t le(std::uint64_t at, int width) const;
    // The file offset of the data of the cell at `offset` (from the bins' start) when that cell
    // is in use and holds at least `count` bytes; 0 otherwise.
    std::uint64_t cellData(std::uint32_t offset, std::uint64_t count) const;
    std::u16string text(std::uint64_t at, std::size_t bytes, bool latin1) const;

    const char* m_bytes;
    std::size_t m_size;
};

// A hive file mapped for reading, for a quick look at a few keys without libhivex (which checks
// the whole file first). Every read is bounded by the file, so a damaged hive gives nothing, not
// a fault.
class MappedHive {
  public:
    // Nothing when the file cannot be mapped, has no base block or is shorter than its base
    // block says.
    static std::unique_ptr<MappedHive> open(const std::string& path);
    ~MappedHive();
    MappedHive(const MappedHive&) = delete;
    MappedHive& operator=(const MappedHive&) = delete;
    HiveCells cells() const { return HiveCells(m_bytes, m_size); }

  private:
    MappedHive(const char* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}
    const char* m_bytes;
    std::size_t m_size;
};

}  // namespace hivora
