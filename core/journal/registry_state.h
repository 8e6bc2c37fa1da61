#pragma once
// The state of registry items as the change journal keeps it, read and written through the raw
// registry interface: a value is absent or its type and raw bytes (as RegQueryValueExA gives
// them); a key is absent or its class, values and sub-keys, whole.
//
// Paths and names are the program's UTF-8; they are converted to the ANSI code page at the
// registry's door. A text the code page cannot hold fails the call.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/status.h"

namespace hivora {

struct ValueState {
    bool present = false;
    std::uint32_t type = 0;
    std::string data;  // raw bytes
    bool operator==(const ValueState&) const = default;
};

struct NamedValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const NamedValue&) const = default;
};

struct KeyState {
    bool present = false;
    std::string name;      // the key's own name (last part of its path); set for sub-keys
    std::string keyClass;  // "" for none
    std::vector<NamedValue> values;
    std::vector<KeyState> subKeys;
    // Equal when both are absent, or both present with the same class, values and sub-keys (the
    // key's own name aside at the top).
    bool sameContent(const KeyState& other) const;
};

// The registry and the code page its "A" calls speak.
struct RegistryView {
    RegistryApi& api;
    const AnsiCodec& codec;
};

// The root a name gives; 0 when it names none.
RegKey rootFromName(const std::string& name);

// Whether the key exists. Failure: it cannot be examined (other than by being absent).
Result<bool> keyExists(RegistryView view, RegKey root, const std::string& key);
// `key` with its last part spelt as the registry keeps it (names match without regard to case;
// a key brought back must keep the spelling it had). `key` itself when it does not exist or no
// sub-key of its parent matches byte for byte once ASCII letters are folded. Failure: the parent
// cannot be listed.
Result<std::string> keyPathAsStored(RegistryView view, RegKey root, const std::string& key);
// A value's state now.
Result<ValueState> readValueState(RegistryView view, RegKey root, const std::string& key,
                                  const std::string& name);
// A key's state now, with every value and sub-key below it.
Result<KeyState> readKeyState(RegistryView view, RegKey root, const std::string& key);

// Makes the value be as `state` says: set with its type and bytes (its key made when missing),
// or removed (a missing value or key is fine).
Status writeValueState(RegistryView view, RegKey root, const std::string& key,
                       const std::string& name, const ValueState& state);
// Makes the key be exactly as `state` says: removed with its whole branch, or made (with its
// class, when it is missing) and given exactly the values and sub-keys of `state`. Values that
// already hold the wanted bytes are not written again. Carries on after a failure and returns the
// first one.
Status writeKeyState(RegistryView view, RegKey root, const std::string& key, const KeyState& state);

}  // namespace hivora
