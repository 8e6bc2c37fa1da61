#include "core/journal/registry_state.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace hivora {
namespace {

constexpr std::uint32_t kNameBuffer = 16384;  // longest value name plus its NUL
constexpr std::uint32_t kKeyNameBuffer = 256;
constexpr std::uint32_t kClassBuffer = 1024;

// An open key, closed when it goes out of scope.
class OpenKey {
  public:
    OpenKey(RegistryApi& api, RegKey handle) : m_api(api), m_handle(handle) {}
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (m_handle != 0) (void)m_api.RegCloseKey(m_handle);
    }
    RegKey get() const { return m_handle; }

  private:
    RegistryApi& m_api;
    RegKey m_handle;
};

Status failed(const std::string& what, RegResult code) {
    return Status::error(what + "（错误代码 " + std::to_string(code) + "）", code);
}

Result<std::string> ansi(RegistryView view, const std::string& text) {
    Result<std::string> converted = view.codec.toAnsi(text);
    if (!converted)
        return Status::error("“" + text + "”含有系统代码页无法表示的字符",
                             kErrorNoUnicodeTranslation);
    return converted;
}

Result<std::string> utf8(RegistryView view, const std::string& text) {
    Result<std::string> converted = view.codec.fromAnsi(text);
    if (!converted)
        return Status::error("注册表中的名称不是有效的代码页文本", kErrorNoUnicodeTranslation);
    return converted;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string joinPath(const std::string& key, const std::string& name) {
    return key.empty() ? name : key + "\\" + name;
}

// Opens `key` (UTF-8) for reading; handle 0 with ok when it does not exist.
Result<RegKey> openExisting(RegistryView view, RegKey root, const std::string& key) {
    Result<std::string> path = ansi(view, key);
    if (!path) return path.status();
    RegKey handle = 0;
    const RegResult r =
        view.api.RegOpenKeyExA(root, path.value().c_str(), 0, kKeyAllAccess, &handle);
    if (r == kErrorFileNotFound) return RegKey{0};
    if (r != kErrorSuccess) return failed("无法打开注册表项 " + key, r);
    return handle;
}

struct SubKeyName {
    std::string ansiName;
    std::string keyClass;  // UTF-8
};

Result<std::vector<SubKeyName>> listSubKeys(RegistryView view, RegKey handle) {
    std::vector<SubKeyName> names;
    for (std::uint32_t i = 0;; ++i) {
        char name[kKeyNameBuffer];
        char keyClass[kClassBuffer];
        std::uint32_t nameLength = kKeyNameBuffer, classLength = kClassBuffer;
        const RegResult r =
            view.api.RegEnumKeyExA(handle, i, name, &nameLength, keyClass, &classLength);
        if (r == kErrorNoMoreItems) break;
        if (r != kErrorSuccess) return failed("无法列出注册表项的子项", r);
        Result<std::string> cls = utf8(view, std::string(keyClass, classLength));
        if (!cls) return cls.status();
        names.push_back({std::string(name, nameLength), std::move(cls).value()});
    }
    return names;
}

// Every value of the open key, names in ANSI.
Result<std::vector<NamedValue>> listValues(RegistryView view, RegKey handle) {
    std::vector<NamedValue> values;
    std::vector<std::uint8_t> data(256);
    std::vector<char> name(kNameBuffer);
    for (std::uint32_t i = 0;;) {
        std::uint32_t nameLength = kNameBuffer, type = 0;
        auto size = static_cast<std::uint32_t>(data.size());
        const RegResult r =
            view.api.RegEnumValueA(handle, i, name.data(), &nameLength, &type, data.data(), &size);
        if (r == kErrorNoMoreItems) break;
        if (r == kErrorMoreData && size > data.size()) {
            data.resize(size);
            continue;  // the same index again with room for its data
        }
        if (r != kErrorSuccess) return failed("无法读取注册表项的数值", r);
        values.push_back({std::string(name.data(), nameLength), type,
                          std::string(reinterpret_cast<const char*>(data.data()), size)});
        ++i;
    }
    return values;
}

Result<KeyState> readOpenKey(RegistryView view, RegKey handle, std::string name,
                             std::string keyClass) {
    KeyState state;
    state.present = true;
    state.name = std::move(name);
    state.keyClass = std::move(keyClass);
    Result<std::vector<NamedValue>> values = listValues(view, handle);
    if (!values) return values.status();
    for (NamedValue& v : values.value()) {
        Result<std::string> n = utf8(view, v.name);
        if (!n) return n.status();
        v.name = std::move(n).value();
        state.values.push_back(std::move(v));
    }
    Result<std::vector<SubKeyName>> subKeys = listSubKeys(view, handle);
    if (!subKeys) return subKeys.status();
    for (const SubKeyName& sub : subKeys.value()) {
        RegKey child = 0;
        const RegResult r =
            view.api.RegOpenKeyExA(handle, sub.ansiName.c_str(), 0, kKeyAllAccess, &child);
        if (r != kErrorSuccess) return failed("无法打开注册表子项", r);
        OpenKey closer(view.api, child);
        Result<std::string> childName = utf8(view, sub.ansiName);
        if (!childName) return childName.status();
        Result<KeyState> childState =
            readOpenKey(view, child, std::move(childName).value(), sub.keyClass);
        if (!childState) return childState.status();
        state.subKeys.push_back(std::move(childState).value());
    }
    return state;
}

// The class of `key` as its parent lists it; "" when it has none or cannot be found.
std::string classOf(RegistryView view, RegKey root, const std::string& key) {
    const std::size_t cut = key.rfind('\\');
    const std::string parent = cut == std::string::npos ? std::string() : key.substr(0, cut);
    const std::string own = cut == std::string::npos ? key : key.substr(cut + 1);
    Result<RegKey> handle = openExisting(view, root, parent);
    if (!handle || handle.value() == 0) return {};
    OpenKey closer(view.api, handle.value());
    Result<std::vector<SubKeyName>> subKeys = listSubKeys(view, handle.value());
    const Result<std::string> ownAnsi = view.codec.toAnsi(own);
    if (!subKeys || !ownAnsi) return {};
    for (const SubKeyName& sub : subKeys.value())
        if (sameName(sub.ansiName, ownAnsi.value())) return sub.keyClass;
    return {};
}

Status deleteBranch(RegistryView view, RegKey root, const std::string& key) {
    Result<RegKey> opened = openExisting(view, root, key);
    if (!opened) return opened.status();
    if (opened.value() == 0) return Status::ok();
    Status outcome;
    {
        OpenKey closer(view.api, opened.value());
        Result<std::vector<SubKeyName>> subKeys = listSubKeys(view, opened.value());
        if (!subKeys) return subKeys.status();
        for (const SubKeyName& sub : subKeys.value()) {
            Result<std::string> name = utf8(view, sub.ansiName);
            if (!name) return name.status();
            outcome.update(deleteBranch(view, root, joinPath(key, name.value())));
        }
    }
    Result<std::string> path = ansi(view, key);
    if (!path) return path.status();
    const RegResult r = view.api.RegDeleteKeyA(root, path.value().c_str());
    if (r != kErrorSuccess && r != kErrorFileNotFound)
        outcome.update(failed("无法删除注册表项 " + key, r));
    return outcome;
}

}  // namespace

bool KeyState::sameContent(const KeyState& other) const {
    if (present != other.present) return false;
    if (!present) return true;
    if (keyClass != other.keyClass || values != other.values ||
        subKeys.size() != other.subKeys.size())
        return false;
    for (std::size_t i = 0; i < subKeys.size(); ++i) {
        if (subKeys[i].name != other.subKeys[i].name || !subKeys[i].sameContent(other.subKeys[i]))
            return false;
    }
    return true;
}

RegKey rootFromName(const std::string& name) {
    for (const RegKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers})
        if (rootName(root) == name) return root;
    return 0;
}

Result<bool> keyExists(RegistryView view, RegKey root, const std::string& key) {
    Result<RegKey> handle = openExisting(view, root, key);
    if (!handle) return handle.status();
    if (handle.value() == 0) return false;
    (void)view.api.RegCloseKey(handle.value());
    return true;
}

Result<std::string> keyPathAsStored(RegistryView view, RegKey root, const std::string& key) {
    const std::size_t cut = key.rfind('\\');
    const std::string parent = cut == std::string::npos ? std::string() : key.substr(0, cut);
    const std::string last = cut == std::string::npos ? key : key.substr(cut + 1);
    Result<RegKey> handle = openExisting(view, root, parent);
    if (!handle) return handle.status();
    if (handle.value() == 0) return key;
    const OpenKey open(view.api, handle.value());
    Result<std::string> wanted = ansi(view, last);
    if (!wanted) return wanted.status();
    Result<std::vector<SubKeyName>> names = listSubKeys(view, open.get());
    if (!names) return names.status();
    for (const SubKeyName& name : names.value()) {
        if (!sameName(name.ansiName, wanted.value())) continue;
        Result<std::string> stored = utf8(view, name.ansiName);
        if (!stored) return stored.status();
        return joinPath(parent, stored.value());
    }
    return key;
}

Result<ValueState> readValueState(RegistryView view, RegKey root, const std::string& key,
                                  const std::string& name) {
    Result<RegKey> handle = openExisting(view, root, key);
    if (!handle) return handle.status();
    if (handle.value() == 0) return ValueState{};
    OpenKey closer(view.api, handle.value());
    Result<std::string> ansiName = ansi(view, name);
    if (!ansiName) return ansiName.status();
    std::vector<std::uint8_t> data(256);
    for (;;) {
        std::uint32_t type = 0;
        auto size = static_cast<std::uint32_t>(data.size());
        const RegResult r = view.api.RegQueryValueExA(handle.value(), ansiName.value().c_str(),
                                                      &type, data.data(), &size);
        if (r == kErrorFileNotFound) return ValueState{};
        if (r == kErrorMoreData && size > data.size()) {
            data.resize(size);
            continue;
        }
        if (r != kErrorSuccess) return failed("无法读取数值 " + name, r);
        return ValueState{true, type,
                          std::string(reinterpret_cast<const char*>(data.data()), size)};
    }
}

Result<KeyState> readKeyState(RegistryView view, RegKey root, const std::string& key) {
    Result<RegKey> handle = openExisting(view, root, key);
    if (!handle) return handle.status();
    if (handle.value() == 0) return KeyState{};
    OpenKey closer(view.api, handle.value());
    const std::size_t cut = key.rfind('\\');
    return readOpenKey(view, handle.value(), cut == std::string::npos ? key : key.substr(cut + 1),
                       classOf(view, root, key));
}

Status writeValueState(RegistryView view, RegKey root, const std::string& key,
                       const std::string& name, const ValueState& state) {
    Result<std::string> ansiName = ansi(view, name);
    if (!ansiName) return ansiName.status();
    if (!state.present) {
        Result<RegKey> handle = openExisting(view, root, key);
        if (!handle) return handle.status();
        if (handle.value() == 0) return Status::ok();
        OpenKey closer(view.api, handle.value());
        const RegResult r = view.api.RegDeleteValueA(handle.value(), ansiName.value().c_str());
        if (r != kErrorSuccess && r != kErrorFileNotFound) return failed("无法删除数值 " + name, r);
        return Status::ok();
    }
    Result<ValueState> now = readValueState(view, root, key, name);
    if (now && now.value() == state) return Status::ok();
    Result<std::string> path = ansi(view, key);
    if (!path) return path.status();
    RegKey handle = 0;
    RegResult r = view.api.RegCreateKeyExA(root, path.value().c_str(), 0, nullptr, 0, kKeyAllAccess,
                                           &handle, nullptr);
    if (r != kErrorSuccess) return failed("无法创建注册表项 " + key, r);
    OpenKey closer(view.api, handle);
    r = view.api.RegSetValueExA(handle, ansiName.value().c_str(), 0, state.type,
                                reinterpret_cast<const std::uint8_t*>(state.data.data()),
                                static_cast<std::uint32_t>(state.data.size()));
    if (r != kErrorSuccess) return failed("无法写入数值 " + name, r);
    return Status::ok();
}

Status writeKeyState(RegistryView view, RegKey root, const std::string& key,
                     const KeyState& state) {
    if (!state.present) return deleteBranch(view, root, key);
    Result<std::string> path = ansi(view, key);
    if (!path) return path.status();
    Result<std::string> cls = ansi(view, state.keyClass);
    if (!cls) return cls.status();
    RegKey handle = 0;
    const RegResult r = view.api.RegCreateKeyExA(
        root, path.value().c_str(), 0, state.keyClass.empty() ? nullptr : cls.value().c_str(), 0,
        kKeyAllAccess, &handle, nullptr);
    if (r != kErrorSuccess) return failed("无法创建注册表项 " + key, r);
    OpenKey closer(view.api, handle);

    Status outcome;
    // Values the key should not hold go first, then the wanted ones are written where they differ.
    Result<std::vector<NamedValue>> current = listValues(view, handle);
    if (!current) return current.status();
    for (const NamedValue& have : current.value()) {
        Result<std::string> name = utf8(view, have.name);
        const bool wanted =
            name && std::any_of(state.values.begin(), state.values.end(), [&](const NamedValue& v) {
                return sameName(v.name, name.value());
            });
        if (wanted) continue;
        const RegResult d = view.api.RegDeleteValueA(handle, have.name.c_str());
        if (d != kErrorSuccess && d != kErrorFileNotFound)
            outcome.update(failed("无法删除数值 " + (name ? name.value() : have.name), d));
    }
    for (const NamedValue& want : state.values) {
        outcome.update(
            writeValueState(view, root, key, want.name, ValueState{true, want.type, want.data}));
    }

    Result<std::vector<SubKeyName>> subKeys = listSubKeys(view, handle);
    if (!subKeys) return subKeys.status();
    for (const SubKeyName& have : subKeys.value()) {
        Result<std::string> name = utf8(view, have.ansiName);
        if (!name) {
            outcome.update(name.status());
            continue;
        }
        const bool wanted =
            std::any_of(state.subKeys.begin(), state.subKeys.end(),
                        [&](const KeyState& k) { return sameName(k.name, name.value()); });
        if (!wanted) outcome.update(deleteBranch(view, root, joinPath(key, name.value())));
    }
    for (const KeyState& sub : state.subKeys)
        outcome.update(writeKeyState(view, root, joinPath(key, sub.name), sub));
    return outcome;
}

}  // namespace hivora
