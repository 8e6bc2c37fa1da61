#include "platform/registry_links.h"

#include "platform/unicode_text.h"

namespace hivora {

namespace {

// The prefix every link target starts with, its final separator included.
constexpr std::u16string_view kRegistryPrefix = u"\\Registry\\";

bool startsWithName(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && namesEqual(text.substr(0, prefix.size()), prefix);
}

}  // namespace

LinkWalker::LinkWalker(std::function<HiveTree&(HiveId)> hive, std::u16string userSid)
    : m_hive(std::move(hive)), m_userSid(std::move(userSid)) {}

HiveTree& LinkWalker::tree(HiveId id) {
    HiveTree*& slot = m_trees[static_cast<std::size_t>(id)];
    if (!slot) slot = &m_hive(id);
    return *slot;
}

std::optional<KeySpot> LinkWalker::child(KeySpot spot, std::u16string_view name) {
    switch (spot.kind) {
        case KeySpot::Kind::RegistryRoot:
            if (namesEqual(name, u"Machine"))
                return KeySpot{KeySpot::Kind::Key, HiveId::System, tree(HiveId::System).root.get()};
            if (namesEqual(name, u"User")) return KeySpot{KeySpot::Kind::Users, HiveId::System};
            return std::nullopt;
        case KeySpot::Kind::Users: {
            // HKEY_USERS holds the default user's hive and the current user's, by its SID.
            HiveId id;
            if (namesEqual(name, u".Default"))
                id = HiveId::UserDefault;
            else if (namesEqual(name, m_userSid))
                id = HiveId::User;
            else
                return std::nullopt;
            return KeySpot{KeySpot::Kind::Key, id, tree(id).root.get()};
        }
        case KeySpot::Kind::Key:
            if (TreeKey* sub = spot.key->findSubKey(name))
                return KeySpot{KeySpot::Kind::Key, spot.hive, sub};
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<KeySpot> LinkWalker::follow(KeySpot spot, int depth) {
    // The depth is checked before anything else, so that even a plain key met beyond the limit
    // fails: the lookup as a whole has gone too deep.
    if (depth > kMaxLinkDepth) return std::nullopt;
    if (spot.kind != KeySpot::Kind::Key || !spot.key->isLink) return spot;
    const auto known = m_followed.find({spot.key, depth});
    if (known != m_followed.end()) return known->second;

    std::optional<KeySpot> result;
    if (const TreeValue* value = spot.key->findValue(kLinkValueName)) {
        const std::u16string target = fromUtf16Le(value->data.data(), value->data.size());
        // A name must follow the prefix, and must not start with another separator.
        if (target.size() > kRegistryPrefix.size() && startsWithName(target, kRegistryPrefix) &&
            target[kRegistryPrefix.size()] != u'\\') {
            std::optional<KeySpot> at = KeySpot{KeySpot::Kind::RegistryRoot};
            for (const std::u16string& name :
                 splitKeyPath(std::u16string_view(target).substr(kRegistryPrefix.size()))) {
                at = child(*at, name);
                if (at) at = follow(*at, depth + 1);
                if (!at) break;
            }
            result = at;
        }
    }
    m_followed.emplace(std::pair{spot.key, depth}, result);
    return result;
}

LinkWalker::Walk LinkWalker::walk(KeySpot start, const KeyPath& names, bool followLast) {
    Walk out;
    KeySpot at = start;
    std::size_t i = 0;
    while (i < names.size()) {
        const std::optional<KeySpot> sub = child(at, names[i]);
        if (!sub) break;
        at = *sub;
        ++i;
        if (i == names.size()) break;
        const std::optional<KeySpot> target = follow(at, 0);
        if (!target) return out;
        at = *target;
    }
    if (i == names.size() && followLast) {
        const std::optional<KeySpot> target = follow(at, 0);
        if (!target) return out;
        at = *target;
    }
    out.ok = true;
    out.reached = at;
    out.matched = i;
    return out;
}

}  // namespace hivora
