#pragma once
// Binary registry hives through libhivex: reading a hive into the key tree the registry works on
// (registry_tree.h), applying the registry's recorded changes to a hive, and reading changed keys
// back to check a save. Key paths here are below the hive's own root. Names are compared as the
// registry compares them (compareNames), whatever case the hive spells them in.

#include <hivex.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/hive_cells.h"
#include "platform/registry_tree.h"
#include "platform/status.h"

namespace hivora {

// One open hive; closed with the object.
class HivexFile {
  public:
    // Opens `path` for reading, or with `writable` for changes in memory that commitTo() writes.
    // `tolerant` (reading only) also reads a hive whose base block's checksum is wrong, as a hive
    // Windows left half written may have. Failure: the file is no hive libhivex can read (errno
    // as code, a Chinese message naming it).
    static Result<std::unique_ptr<HivexFile>> open(const std::string& path, bool writable,
                                                   bool tolerant = false);
    ~HivexFile();
    HivexFile(const HivexFile&) = delete;
    HivexFile& operator=(const HivexFile&) = delete;

    hive_h* handle() const { return m_hive; }
    // The file's records, read directly (hive_cells.h); for a hive opened for writing every
    // read there fails and libhivex is asked instead.
    HiveCells cells() const { return HiveCells(m_bytes, m_size); }
    // The node at `path`; 0 when a name of it is missing.
    hive_node_h find(const KeyPath& path) const;
    // Writes the whole hive, with the changes made through this object, to `file` (which is
    // replaced), the class names of the keys made included (hive_classes.h). Failure: errno as
    // code.
    Status commitTo(const std::string& file);
    // Remembers that the key at `path`, made by this object, has the class `keyClass`.
    void addClass(KeyPath path, std::u16string keyClass) {
        m_classes.emplace_back(std::move(path), std::move(keyClass));
    }

  private:
    HivexFile(hive_h* hive, std::string path) : m_hive(hive), m_path(std::move(path)) {}
    // The file's bytes, mapped for reading what the library does not give (class names).
    const char* m_bytes = nullptr;
    std::size_t m_size = 0;
    hive_h* m_hive = nullptr;
    std::string m_path;
    std::vector<std::pair<KeyPath, std::u16string>> m_classes;
};

// The hive's whole tree: keys with their names, times and values (data as stored, text types as
// UTF-16LE). The root key's name is left empty. Failure: a key or value the library cannot read
// (the hive is damaged), with a Chinese message.
Result<std::unique_ptr<TreeKey>> loadHiveTree(const HivexFile& hive);

// The type and data of the value `name` of the key at `path`; nothing when either is missing.
struct HiveValue {
    std::uint32_t type = 0;
    std::string data;
};
std::optional<HiveValue> readHiveValue(const HivexFile& hive, const KeyPath& path,
                                       std::u16string_view name);
// The names of the sub-keys of the key at `path`, in the hive's order; empty when it is missing.
std::vector<std::u16string> subKeyNames(const HivexFile& hive, const KeyPath& path);

// Applies `change` (its path below the hive's root) to the hive in memory. Setting a value
// replaces that value only, the key's other values stay as they are; keys missing on the way are
// made; volatile keys are never written. A key or value already gone is left. Failure: the
// library refused (errno as code).
Status applyChange(HivexFile& hive, const TreeChange& change);

// Whether the key at `path` of the hive holds exactly the values of `expected` (null: the key
// must be missing). Failure: a Chinese sentence naming the first difference.
Status compareKeyValues(const HivexFile& hive, const KeyPath& path, const TreeKey* expected);

}  // namespace hivora
