#pragma once
// Walking key paths across the three hives, through symbolic-link keys as Wine walks them.
//
// A link key carries "#link" in its hive file and a value "SymbolicLinkValue" holding the full
// name of its target in the kernel's form, as UTF-16 without a final NUL, for example
// "\Registry\Machine\Software\Classes". "\Registry\Machine" is the system hive, "\Registry\User"
// is HKEY_USERS, "\Registry\User\.Default" the default user's hive and "\Registry\User\<SID>" the
// current user's hive; no other name leads anywhere.
//
// Rules, as in Wine's server:
// - Every name of a path but the last that reaches a link continues at the link's target; the
//   last one does too unless the caller asks for the link itself (REG_OPTION_OPEN_LINK).
// - A target is looked up name by name from the registry's root, and each name on the way that is
//   a link is followed in turn, one level deeper. Following at a depth beyond kMaxLinkDepth fails,
//   so a cycle of links fails instead of running for ever.
// - A link fails when it has no SymbolicLinkValue, when the value does not start with
//   "\Registry\" followed by a name, or when a name of the target does not exist. A failed link
//   makes the whole lookup fail (Windows and Wine answer ERROR_FILE_NOT_FOUND).
//
// The value's type is not looked at, as Wine does not; its data is read as UTF-16 units, an odd
// last byte left out.

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/registry_tree.h"
#include "platform/tree_registry.h"

namespace hivora {

inline constexpr int kMaxLinkDepth = 16;
inline constexpr char16_t kLinkValueName[] = u"SymbolicLinkValue";

// A place in the registry's name space: the root above "Machine" and "User", HKEY_USERS (the
// "User" key above the user hives), or a key of one hive.
struct KeySpot {
    enum class Kind { RegistryRoot, Users, Key };
    Kind kind = Kind::Key;
    HiveId hive = HiveId::System;
    TreeKey* key = nullptr;  // set for Kind::Key
};

class LinkWalker {
  public:
    // `hive(id)` gives the tree of a hive; the walker asks for each hive at most once, so a store
    // may bring the tree up to date on that first request without breaking the keys already
    // reached. `userSid` is the name under HKEY_USERS of the current user's hive.
    LinkWalker(std::function<HiveTree&(HiveId)> hive, std::u16string userSid);

    struct Walk {
        bool ok = false;          // false: a link on the way failed
        KeySpot reached;          // the last existing key of the path, links followed
        std::size_t matched = 0;  // how many names of the path exist
    };
    // Walks `names` from `start` as far as the keys exist. Every key reached with names still to
    // go is followed; the last one (all names found) only when `followLast`, which also applies
    // to `start` itself for an empty path. On failure `reached` is unspecified.
    Walk walk(KeySpot start, const KeyPath& names, bool followLast);

    // The spot a link (or, unchanged, any other key) stands for; nothing when the link fails.
    std::optional<KeySpot> follow(KeySpot spot) { return follow(spot, 0); }
    // The tree of a hive, as the walker sees it.
    HiveTree& tree(HiveId id);

  private:
    std::optional<KeySpot> follow(KeySpot spot, int depth);
    std::optional<KeySpot> child(KeySpot spot, std::u16string_view name);

    std::function<HiveTree&(HiveId)> m_hive;
    std::array<HiveTree*, kHiveCount> m_trees{};
    std::u16string m_userSid;
    // What each link gave at each depth. Targets may name other links several times over, so
    // without this a crafted hive could make the walk take exponential time; the outcome of a
    // link at a given depth never changes during one walk.
    std::map<std::pair<const TreeKey*, int>, std::optional<KeySpot>> m_followed;
};

}  // namespace hivora
