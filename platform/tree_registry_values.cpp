// The value calls of the tree registry, and the conversion of texts between the caller's ANSI
// code page and the UTF-16 the hives keep.

#include <cstring>

#include "platform/tree_registry.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

constexpr std::size_t kMaxValueNameLength = 16383;
constexpr RegResult kErrorNoAccess = 998;  // ERROR_NOACCESS: a count without data

bool isTextType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

RegResult TreeRegistry::toText(const char* ansi, std::u16string& out) {
    out.clear();
    if (!ansi) return kErrorSuccess;
    Result<std::string> utf8 = m_codec.fromAnsi(std::string_view(ansi, std::strlen(ansi)));
    Result<std::u16string> text = utf8 ? utf8ToUtf16(utf8.value()) : utf8.status();
    if (!text)
        return fail(kErrorNoUnicodeTranslation,
                    "文本不是有效的代码页 " + std::to_string(m_codec.codePage()) + " 文本。");
    out = std::move(text).value();
    return kErrorSuccess;
}

RegResult TreeRegistry::toAnsi(std::u16string_view text, std::string& out) {
    Result<std::string> utf8 = utf16ToUtf8(text);
    Result<std::string> ansi = utf8 ? m_codec.toAnsi(utf8.value()) : utf8.status();
    if (!ansi)
        return fail(
            kErrorNoUnicodeTranslation,
            "注册表中的文本含有代码页 " + std::to_string(m_codec.codePage()) + " 无法表示的字符。");
    out = std::move(ansi).value();
    return kErrorSuccess;
}

RegResult TreeRegistry::ansiData(const TreeValue& value, std::string& bytes,
                                 std::uint32_t& needed) {
    if (!isTextType(value.type)) {
        bytes.assign(value.data.begin(), value.data.end());
        needed = static_cast<std::uint32_t>(bytes.size());
        return kErrorSuccess;
    }
    const std::u16string units = fromUtf16Le(value.data.data(), value.data.size());
    if (const RegResult r = toAnsi(units, bytes)) return r;
    // A text stored without its terminating NUL is reported with room for one, so that a reader
    // sizing its buffer from this count finds the end of the text. A text of no bytes at all is
    // reported as 0 bytes, as Windows does.
    const bool terminated = !units.empty() && units.back() == u'\0';
    needed = static_cast<std::uint32_t>(bytes.size() + (terminated || units.empty() ? 0 : 1));
    return kErrorSuccess;
}

RegResult TreeRegistry::deliverData(const TreeValue& value, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* cbData) {
    std::string bytes;
    std::uint32_t needed = 0;
    if (const RegResult r = ansiData(value, bytes, needed)) return r;
    if (type) *type = value.type;
    if (!data) {
        if (cbData) *cbData = needed;
        return kErrorSuccess;
    }
    if (*cbData < bytes.size()) {
        *cbData = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    // As Windows does: a text stored without its NUL gets one when the buffer has room.
    if (needed > bytes.size() && *cbData > bytes.size()) data[bytes.size()] = 0;
    *cbData = static_cast<std::uint32_t>(bytes.size());
    return kErrorSuccess;
}

RegResult TreeRegistry::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                                         std::uint8_t* data, std::uint32_t* cbData) {
    const Location* where = locate(key);
    if (!where) return kErrorInvalidHandle;
    if (data && !cbData) return kErrorInvalidParameter;
    if (where->usersRoot) return kErrorFileNotFound;
    std::u16string name;
    if (const RegResult r = toText(valueName, name)) return r;
    const TreeKey* k = findKey(*where);
    if (!k) return missingKeyResult(key);
    const TreeValue* value = k->findValue(name);
    if (!value) return kErrorFileNotFound;
    return deliverData(*value, type, data, cbData);
}

RegResult TreeRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t,
                                       std::uint32_t type, const std::uint8_t* data,
                                       std::uint32_t cbData) {
    const Location* where = locate(key);
    if (!where) return kErrorInvalidHandle;
    if (where->usersRoot) return fail(kErrorAccessDenied, "HKEY_USERS 下不能直接写入数值。");
    if (!data && cbData > 0) return kErrorNoAccess;
    std::u16string name;
    if (const RegResult r = toText(valueName, name)) return r;
    if (name.size() > kMaxValueNameLength) return kErrorInvalidParameter;

    std::vector<std::uint8_t> stored;
    if (isTextType(type)) {
        const std::string_view ansi(reinterpret_cast<const char*>(data), cbData);
        Result<std::string> utf8 = m_codec.fromAnsi(ansi);
        Result<std::u16string> units = utf8 ? utf8ToUtf16(utf8.value()) : utf8.status();
        if (!units)
            return fail(kErrorNoUnicodeTranslation,
                        "文本不是有效的代码页 " + std::to_string(m_codec.codePage()) + " 文本。");
        std::u16string text = std::move(units).value();
        // Windows stores a text whose count leaves out the terminating NUL with that NUL when
        // the byte after the count is one, which it is for every NUL-terminated buffer; the
        // count cannot be read past here, so the NUL is added outright.
        if (!ansi.empty() && ansi.back() != '\0') text.push_back(u'\0');
        stored = toUtf16Le(text);
    } else if (cbData > 0) {
        stored.assign(data, data + cbData);
    }

    const Location location = *where;  // prepareChange may not touch the handle table, but be safe
    if (!findKey(location)) return missingKeyResult(key);
    if (const RegResult r = prepareChange(location.hive, location.path)) return r;
    TreeKey* k = findKey(location);
    if (!k) return missingKeyResult(key);

    TreeChange change;
    change.kind = TreeChange::Kind::SetValue;
    change.path = location.path;
    change.valueName = name;
    change.type = type;
    change.data = stored;
    change.time = now();
    k->setValue(name, type, std::move(stored));
    k->touch(change.time);
    record(location.hive, std::move(change));
    return kErrorSuccess;
}

RegResult TreeRegistry::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                                      std::uint32_t* cchValueName, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* cbData) {
    const Location* where = locate(key);
    if (!where) return kErrorInvalidHandle;
    if (!valueName || !cchValueName || (data && !cbData)) return kErrorInvalidParameter;
    if (where->usersRoot) return kErrorNoMoreItems;
    const TreeKey* k = findKey(*where);
    if (!k) return missingKeyResult(key);
    if (index >= k->values.size()) return kErrorNoMoreItems;
    const TreeValue& value = k->values[index];

    std::string name;
    if (const RegResult r = toAnsi(value.name, name)) return r;
    if (name.size() >= *cchValueName) return kErrorMoreData;
    std::memcpy(valueName, name.data(), name.size());
    valueName[name.size()] = '\0';
    *cchValueName = static_cast<std::uint32_t>(name.size());

    return deliverData(value, type, data, cbData);
}

RegResult TreeRegistry::RegDeleteValueA(RegKey key, const char* valueName) {
    const Location* where = locate(key);
    if (!where) return kErrorInvalidHandle;
    if (where->usersRoot) return kErrorFileNotFound;
    std::u16string name;
    if (const RegResult r = toText(valueName, name)) return r;
    const Location location = *where;
    const TreeKey* k = findKey(location);
    if (!k) return missingKeyResult(key);
    if (!k->findValue(name)) return kErrorFileNotFound;
    if (const RegResult r = prepareChange(location.hive, location.path)) return r;
    TreeKey* fresh = findKey(location);
    if (!fresh) return missingKeyResult(key);
    TreeChange change;
    change.kind = TreeChange::Kind::DeleteValue;
    change.path = location.path;
    change.valueName = name;
    change.time = now();
    if (!fresh->removeValue(name)) return kErrorFileNotFound;
    fresh->touch(change.time);
    record(location.hive, std::move(change));
    return kErrorSuccess;
}

}  // namespace hivora
