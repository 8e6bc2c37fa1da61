#include "core/registry/reg_info_get_set.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace hivora {
namespace {

// Class texts of keys created by the writes: the name of the value type being written.
constexpr const char* kClassSz = "REG_SZ";
constexpr const char* kClassExpandSz = "REG_EXPAND_SZ";
constexpr const char* kClassDword = "REG_DWORD";
constexpr const char* kClassBinary = "REG_BINARY";

bool isAbsent(RegResult code) {
    return code == kErrorFileNotFound;
}

std::string codeText(RegResult code) {
    return "（错误代码 " + std::to_string(code) + "）";
}

Status untranslatable(const std::string& text) {
    return Status::error("“" + text + "”含有系统代码页无法表示的字符，未写入注册表",
                         kErrorNoUnicodeTranslation);
}

// The text up to its first NUL, or the whole text when it holds none.
std::string upToFirstNul(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
}

}  // namespace

// Texts and errors ------------------------------------------------------------------------------

Status RegInfoGetSet::failure(const char* what, RegResult code) const {
    std::string message = std::string(what) + codeText(code);
    const std::string detail = m_api.lastErrorMessage();
    if (!detail.empty()) message += "：" + detail;
    return Status::error(std::move(message), code);
}

Status RegInfoGetSet::save() {
    Status saved = m_api.flush();
    if (saved || !saved.message().empty()) return saved;
    return failure("无法保存注册表的修改",
                   saved.code() != 0 ? saved.code() : kErrorRegistryIoFailed);
}

Status RegInfoGetSet::saveIfOutsideAction() {
    return m_actionDepth > 0 ? Status::ok() : save();
}

// Reads ------------------------------------------------------------------------------------------

std::string RegInfoGetSet::readText(RegKey root, const std::string& subKey,
                                    const std::string& valueName, std::uint32_t accessMask,
                                    std::uint32_t wantedType, std::int32_t& errorFlag) {
    errorFlag = 0;
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    const Result<std::string> ansiName = m_codec.toAnsi(valueName);
    if (!ansiSubKey || !ansiName) {  // no such key or value can exist in the registry
        errorFlag = -1;
        return {};
    }

    // The open's result is not examined: a failed open leaves handle 0, and the size query on it
    // fails, which reports the failure.
    RegKey handle = 0;
    (void)m_api.RegOpenKeyExA(root, ansiSubKey.value().c_str(), 0, accessMask, &handle);

    std::string text;
    std::uint32_t type = kRegNone;
    std::uint32_t byteCount = 0;
    const RegResult sized =
        m_api.RegQueryValueExA(handle, ansiName.value().c_str(), &type, nullptr, &byteCount);
    if (sized != kErrorSuccess || type != wantedType) {
        errorFlag = -1;
    } else {
        std::string buffer(byteCount, '\0');
        std::uint32_t readType = kRegNone;  // not examined, as the size query settled the type
        std::uint32_t readCount = byteCount;
        const RegResult read =
            m_api.RegQueryValueExA(handle, ansiName.value().c_str(), &readType,
                                   reinterpret_cast<std::uint8_t*>(buffer.data()), &readCount);
        if (read != kErrorSuccess) {
            errorFlag = -1;
        } else {
            // A value stored without a terminating NUL (as SetRegString stores it, and as other
            // programs may) fills the buffer completely: it is taken whole, not dropped.
            const Result<std::string> decoded =
                m_codec.fromAnsi(upToFirstNul(buffer.data(), buffer.size()));
            if (decoded) {
                text = decoded.value();
            } else {
                errorFlag = -1;
            }
        }
    }
    (void)m_api.RegCloseKey(handle);  // also after a failed open, as Windows tolerates
    return text;
}

std::string RegInfoGetSet::GetRegString(RegKey root, const std::string& subKey,
                                        const std::string& valueName, std::uint32_t accessMask,
                                        std::int32_t& errorFlag) {
    return readText(root, subKey, valueName, accessMask, kRegSz, errorFlag);
}

std::string RegInfoGetSet::GetRegExpandString(RegKey root, const std::string& subKey,
                                              const std::string& valueName,
                                              std::uint32_t accessMask, std::int32_t& errorFlag) {
    return readText(root, subKey, valueName, accessMask, kRegExpandSz, errorFlag);
}

// Writes -----------------------------------------------------------------------------------------

Status RegInfoGetSet::writeValue(RegKey root, const std::string& subKey,
                                 const std::string& valueName, const char* keyClass,
                                 std::uint32_t type, std::string_view bytes,
                                 std::uint32_t createOptions, std::uint32_t accessMask) {
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    if (!ansiSubKey) return untranslatable(subKey);
    const Result<std::string> ansiName = m_codec.toAnsi(valueName);
    if (!ansiName) return untranslatable(valueName);

    RegKey handle = 0;
    std::uint32_t disposition = 0;
    const RegResult created =
        m_api.RegCreateKeyExA(root, ansiSubKey.value().c_str(), 0, keyClass, createOptions,
                              accessMask, &handle, &disposition);
    if (created != kErrorSuccess) {
        Status status = failure("无法创建或打开注册表项", created);
        status.update(saveIfOutsideAction());  // a partly created path is saved or dropped now
        return status;
    }

    const RegResult set = m_api.RegSetValueExA(handle, ansiName.value().c_str(), 0, type,
                                               reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                               static_cast<std::uint32_t>(bytes.size()));
    (void)m_api.RegCloseKey(handle);

    Status status = set == kErrorSuccess ? Status::ok() : failure("无法写入注册表值", set);
    status.update(saveIfOutsideAction());
    return status;
}

Status RegInfoGetSet::writeText(RegKey root, const std::string& subKey,
                                const std::string& valueName, const std::string& text,
                                const char* keyClass, std::uint32_t type,
                                std::uint32_t createOptions, std::uint32_t accessMask) {
    const Result<std::string> ansiText = m_codec.toAnsi(text);
    if (!ansiText) return untranslatable(text);
    if (ansiText.value().size() > kMaxRegTextBytes) {
        return Status::error("文本过长（超过 32767 字节），未写入注册表", kErrorInvalidParameter);
    }
    // Stored without a terminating NUL; the read takes a text that fills its buffer whole.
    return writeValue(root, subKey, valueName, keyClass, type, ansiText.value(), createOptions,
                      accessMask);
}

Status RegInfoGetSet::SetRegString(RegKey root, const std::string& subKey,
                                   const std::string& valueName, const std::string& text,
                                   std::uint32_t createOptions, std::uint32_t accessMask) {
    return writeText(root, subKey, valueName, text, kClassSz, kRegSz, createOptions, accessMask);
}

Status RegInfoGetSet::SetRegExpandString(RegKey root, const std::string& subKey,
                                         const std::string& valueName, const std::string& text,
                                         std::uint32_t createOptions, std::uint32_t accessMask) {
    return writeText(root, subKey, valueName, text, kClassExpandSz, kRegExpandSz, createOptions,
                     accessMask);
}

Status RegInfoGetSet::SetRegDword(RegKey root, const std::string& subKey,
                                  const std::string& valueName, std::int32_t value,
                                  std::uint32_t createOptions, std::uint32_t accessMask) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::array<char, 4> bytes = {
        static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
        static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)};
    return writeValue(root, subKey, valueName, kClassDword, kRegDword,
                      std::string_view(bytes.data(), bytes.size()), createOptions, accessMask);
}

Status RegInfoGetSet::SetRegBinary(RegKey root, const std::string& subKey,
                                   const std::string& valueName, std::string_view data,
                                   std::uint32_t createOptions, std::uint32_t accessMask) {
    if (data.empty()) return Status::error("二进制数据为空，未写入注册表", kErrorInvalidParameter);
    return writeValue(root, subKey, valueName, kClassBinary, kRegBinary, data, createOptions,
                      accessMask);
}

Status RegInfoGetSet::SetRegRaw(RegKey root, const std::string& subKey,
                                const std::string& valueName, std::uint32_t type,
                                std::string_view data, std::uint32_t createOptions,
                                std::uint32_t accessMask) {
    const char* keyClass = type == kRegSz         ? kClassSz
                           : type == kRegExpandSz ? kClassExpandSz
                           : type == kRegDword    ? kClassDword
                                                  : kClassBinary;
    return writeValue(root, subKey, valueName, keyClass, type, data, createOptions, accessMask);
}

// Removals and creation --------------------------------------------------------------------------

namespace {

// Deletes every key below `top`, deepest first, leaving `top` itself. Walks with a stack of open
// handles rather than by recursion: a branch may be nested deeper than the call stack allows.
RegResult deleteSubKeys(RegistryApi& api, RegKey top) {
    std::vector<RegKey> path{top};
    RegResult result = kErrorSuccess;
    while (result == kErrorSuccess) {
        const RegKey current = path.back();
        std::array<char, 256> name{};  // key names are at most 255 characters
        std::uint32_t length = name.size();
        const RegResult listed = api.RegEnumKeyExA(current, 0, name.data(), &length, nullptr,
                                                   nullptr);
        if (listed == kErrorNoMoreItems) {
            if (path.size() == 1) break;
            result = api.RegDeleteKeyA(current, "");
            (void)api.RegCloseKey(current);
            path.pop_back();
        } else if (listed == kErrorSuccess) {
            RegKey child = 0;
            result = api.RegOpenKeyExA(current, name.data(), 0, kKeyAllAccess, &child);
            if (result == kErrorSuccess) path.push_back(child);
        } else {
            result = listed;
        }
    }
    for (std::size_t i = path.size(); i-- > 1;) (void)api.RegCloseKey(path[i]);
    return result;
}

}  // namespace

Status RegInfoGetSet::deleteKey(RegKey root, const std::string& subKey, std::uint32_t accessMask,
                                bool withBranch) {
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    if (!ansiSubKey) return Status::ok();  // a name the code page cannot hold names no key

    RegKey handle = 0;
    const RegResult opened =
        m_api.RegOpenKeyExA(root, ansiSubKey.value().c_str(), 0, accessMask, &handle);
    if (isAbsent(opened)) return Status::ok();
    if (opened != kErrorSuccess) return failure("无法打开注册表项", opened);

    RegResult deleted = withBranch ? deleteSubKeys(m_api, handle) : kErrorSuccess;
    if (deleted == kErrorSuccess) deleted = m_api.RegDeleteKeyA(handle, "");
    (void)m_api.RegCloseKey(handle);

    Status status = deleted == kErrorSuccess || isAbsent(deleted)
                        ? Status::ok()
                        : failure("无法删除注册表项", deleted);
    status.update(saveIfOutsideAction());
    return status;
}

Status RegInfoGetSet::DeleteRegKey(RegKey root, const std::string& subKey,
                                   std::uint32_t accessMask) {
    return deleteKey(root, subKey, accessMask, false);
}

Status RegInfoGetSet::RemoveRegKey(RegKey root, const std::string& subKey,
                                   std::uint32_t /*accessMask*/) {
    return deleteKey(root, subKey, kKeyAllAccess, true);
}

Status RegInfoGetSet::CreateRegKey(RegKey root, const std::string& subKey,
                                   std::uint32_t createOptions, std::uint32_t accessMask) {
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    if (!ansiSubKey) return untranslatable(subKey);

    RegKey handle = 0;
    std::uint32_t disposition = 0;
    const RegResult created =
        m_api.RegCreateKeyExA(root, ansiSubKey.value().c_str(), 0, kClassSz, createOptions,
                              accessMask, &handle, &disposition);
    Status status = Status::ok();
    if (created == kErrorSuccess) {
        (void)m_api.RegCloseKey(handle);
    } else {
        status = failure("无法创建注册表项", created);
    }
    status.update(saveIfOutsideAction());
    return status;
}

Status RegInfoGetSet::DeleteRegValue(RegKey root, const std::string& subKey,
                                     const std::string& valueName, std::uint32_t accessMask) {
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    const Result<std::string> ansiName = m_codec.toAnsi(valueName);
    if (!ansiSubKey || !ansiName) return Status::ok();  // names no key or value

    RegKey handle = 0;
    const RegResult opened =
        m_api.RegOpenKeyExA(root, ansiSubKey.value().c_str(), 0, accessMask, &handle);
    if (isAbsent(opened)) return Status::ok();
    if (opened != kErrorSuccess) return failure("无法打开注册表项", opened);

    const RegResult deleted = m_api.RegDeleteValueA(handle, ansiName.value().c_str());
    (void)m_api.RegCloseKey(handle);

    Status status = deleted == kErrorSuccess || isAbsent(deleted)
                        ? Status::ok()
                        : failure("无法删除注册表值", deleted);
    status.update(saveIfOutsideAction());
    return status;
}

RegResult RegInfoGetSet::DeleteRegValueInKey(RegKey handle, const std::string& valueName) {
    const Result<std::string> ansiName = m_codec.toAnsi(valueName);
    if (!ansiName) return kErrorNoUnicodeTranslation;

    const RegResult deleted = m_api.RegDeleteValueA(handle, ansiName.value().c_str());
    if (deleted != kErrorSuccess) return deleted;
    const Status saved = saveIfOutsideAction();
    if (!saved) return saved.code() != 0 ? saved.code() : kErrorRegistryIoFailed;
    return kErrorSuccess;
}

void RegInfoGetSet::CloseRegKey(RegKey handle) {
    (void)m_api.RegCloseKey(handle);
}

// Actions ----------------------------------------------------------------------------------------

Status RegInfoGetSet::beginAction() {
    if (m_actionDepth++ > 0) return Status::ok();
    Status held = m_api.lockStore();
    m_storeHeld = held.isOk();
    return held;
}

Status RegInfoGetSet::endAction() {
    if (m_actionDepth > 0) --m_actionDepth;
    if (m_actionDepth > 0) return Status::ok();
    // The save happens while the store is still held: nobody writes between the record and it.
    Status saved = m_savedEarly ? Status::ok() : save();
    if (m_storeHeld) m_api.unlockStore();
    m_storeHeld = false;
    m_savedEarly = false;
    return saved;
}

Status RegInfoGetSet::saveAction() {
    m_savedEarly = true;
    return save();
}

}  // namespace hivora
