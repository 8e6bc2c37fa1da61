#pragma once
// The in-memory key tree of one hive (system.reg, user.reg or userdef.reg).
//
// Keys and values are kept in name order (compareNames), the order Wine writes them in. Values
// hold their data as the registry stores it: UTF-16LE with its final NUL for the text types, raw
// bytes otherwise.
//
// A hive read from a file keeps that file's text (HiveTree::source) and every key and value keeps
// a view of its own lines in it. The writer copies the lines of untouched keys and values as they
// were, so a file that was loaded and saved without changes comes out byte for byte the same, and
// a change re-renders only the key it touched. Lines the reader does not interpret (unknown
// options, comments inside a key) are kept with their key.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hivora {

// A Windows FILETIME: 100 ns ticks since 1601-01-01.
using FileTime = std::uint64_t;
inline constexpr FileTime kTicksPerSecond = 10'000'000;
inline constexpr FileTime kTicks1601To1970 = 116'444'736'000'000'000ULL;

// A key path below a hive's root, one name per level.
using KeyPath = std::vector<std::u16string>;
// Splits "A\B\\C" into {"A","B","C"}; empty parts (doubled or trailing separators) are skipped.
KeyPath splitKeyPath(std::u16string_view path);

struct TreeValue {
    std::u16string name;  // "" names the default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    // The value's lines as read, newlines included; empty for a value set since.
    std::string_view sourceText;
};

struct TreeKey {
    TreeKey() = default;
    // Frees the branch below without recursion, so that no depth of nesting can exhaust the
    // stack.
    ~TreeKey();
    TreeKey(const TreeKey&) = delete;
    TreeKey& operator=(const TreeKey&) = delete;

    std::u16string name;
    TreeKey* parent = nullptr;
    std::vector<std::unique_ptr<TreeKey>> subKeys;  // in name order
    std::vector<TreeValue> values;                  // in name order
    std::optional<std::u16string> keyClass;
    FileTime modified = 0;
    bool isLink = false;      // a symbolic-link key ("#link"); kept as it is
    bool isVolatile = false;  // never written to a file
    // Lines inside the key's block the reader does not interpret, newlines included.
    std::vector<std::string_view> extraLines;

    // The key's text as read: the blank lines before its key line, and the block from the key
    // line to its last non-blank line (newline included). Both empty for keys the file did not
    // list (new keys, keys implied by their sub-keys).
    std::string_view sourceLeading;
    std::string_view sourceBlock;
    // Set by every change of the key; the writer then renders the key instead of copying it.
    bool changed = false;

    TreeKey* findSubKey(std::u16string_view name) const;
    // Inserts a new, empty sub-key in order. Precondition: no sub-key has that name.
    TreeKey& addSubKey(std::u16string name);
    // Removes the named sub-key with its whole branch; false when there is none.
    bool removeSubKey(std::u16string_view name);

    const TreeValue* findValue(std::u16string_view name) const;
    // Creates or replaces a value (the replaced value loses its source text). Returns it.
    TreeValue& setValue(std::u16string_view name, std::uint32_t type,
                        std::vector<std::uint8_t> data);
    bool removeValue(std::u16string_view name);

    // Marks the key changed at `now`, as Wine does for every change of the key.
    void touch(FileTime now) {
        modified = now;
        changed = true;
    }
    // The path below the hive's root.
    KeyPath path() const;
};

// One hive: its root key, and the file text its views point into.
struct HiveTree {
    HiveTree();
    // The hive's root as the header names it, without the leading "\\": "Machine",
    // "User\S-1-5-21-0-0-0-1000", "User\.Default". Empty until known.
    std::u16string rootName;
    // The text read from the file, or null for a hive made new.
    std::shared_ptr<const std::string> source;
    // Lines before the first key (the "WINE REGISTRY" line, the root comment, "#arch="), and
    // anything after the last key's block. Empty for a hive made new. The header points into
    // `source`, or into `headerText` when the reader had to leave out lines it could not read.
    std::string_view header;
    std::shared_ptr<const std::string> headerText;
    std::string_view trailer;
    std::unique_ptr<TreeKey> root;

    TreeKey* findKey(const KeyPath& path) const;

    struct Created {
        TreeKey* key;
        bool created;  // false: the key existed
    };
    // Opens the key, creating every missing key of the path with `keyClass`, time `now` and the
    // volatile flag; the parent of each new key is touched, as Wine does.
    Created createKey(const KeyPath& path, const std::optional<std::u16string>& keyClass,
                      FileTime now, bool isVolatile);
    // Removes `key` (not the root) with its branch and touches its parent.
    void deleteKey(TreeKey& key, FileTime now);

    // A deep copy sharing the source text (made without recursion, as every walk of the tree).
    std::unique_ptr<HiveTree> clone() const;
};

// A change made to a hive, recorded so that it can be applied again to a newer copy of the same
// hive read from disk (when another program changed the file meanwhile).
struct TreeChange {
    enum class Kind { CreateKey, SetValue, DeleteValue, DeleteKey };
    Kind kind = Kind::CreateKey;
    KeyPath path;
    std::u16string valueName;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::optional<std::u16string> keyClass;
    bool isVolatile = false;
    FileTime time = 0;
};

// Applies `change` to `tree`. A value is set even where its key has gone (the key is made again);
// a key to delete that has gained sub-keys meanwhile, or a key or value already gone, is left.
void replayChange(HiveTree& tree, const TreeChange& change);

}  // namespace hivora
