// EnumRegValues: the listing of a key's values for the startup list.

#include <algorithm>
#include <limits>

#include "core/registry/reg_info_get_set.h"

namespace hivora {
namespace {

// Starting sizes of the enumeration's buffers; they grow to what the registry asks for.
constexpr std::size_t kEnumNameChars = 256;
constexpr std::size_t kEnumDataBytes = 1024;
// Windows value names hold at most 16,383 characters, two bytes each in a double-byte code page.
constexpr std::size_t kMaxEnumNameChars = 32768;
// Bounds for a registry that keeps answering "more data": the value is given up after this many
// tries, and the data buffer grows by doubling no further than this.
constexpr int kMaxEnumAttempts = 16;
constexpr std::size_t kMaxEnumDataBytes = std::size_t{16} << 20;

// The text up to its first NUL, or the whole text when it holds none.
std::string upToFirstNul(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
}

// A name the code page cannot decode is still listed, so that no entry hides: bytes outside
// ASCII are shown as \xHH. Removing it by that name then fails, which the caller reports.
std::string escapedName(const std::string& ansi) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
        }
    }
    return shown;
}

// The enumeration's buffers: 256 name characters and 1,024 data bytes at first, kept at the size
// they grew to for the values that follow.
struct EnumBuffers {
    std::string name = std::string(kEnumNameChars, '\0');
    std::size_t dataSize = kEnumDataBytes;
};

// The ANSI name of the value at `position`. A long name or long data must not end the list: on
// kErrorMoreData the short buffer grows and the same position is read again. The registry reports
// the data size it needs; a name that did not fit comes back with its length unchanged or with
// the length it needs. The data itself is read only to satisfy the call; the caller reads the
// value's text again by name.
RegResult enumValueName(RegistryApi& api, RegKey handle, std::uint32_t position,
                        EnumBuffers& buffers, std::string& ansiName) {
    for (int attempt = 0; attempt < kMaxEnumAttempts; ++attempt) {
        std::string data(buffers.dataSize, '\0');  // fresh and zeroed for every read
        auto dataCount = static_cast<std::uint32_t>(data.size());
        auto nameLength = static_cast<std::uint32_t>(buffers.name.size());
        std::uint32_t type = kRegNone;
        std::fill(buffers.name.begin(), buffers.name.end(), '\0');
        const RegResult result =
            api.RegEnumValueA(handle, position, buffers.name.data(), &nameLength, &type,
                              reinterpret_cast<std::uint8_t*>(data.data()), &dataCount);
        if (result == kErrorSuccess) {
            ansiName = upToFirstNul(buffers.name.data(), buffers.name.size());
            return result;
        }
        if (result != kErrorMoreData) return result;

        bool grew = false;
        if (dataCount > buffers.dataSize) {
            buffers.dataSize = dataCount;
            grew = true;
        }
        if (nameLength >= buffers.name.size() && buffers.name.size() < kMaxEnumNameChars) {
            const std::size_t wanted =
                std::max<std::size_t>(nameLength + 1, buffers.name.size() * 2);
            buffers.name.assign(std::min(wanted, kMaxEnumNameChars), '\0');
            grew = true;
        }
        if (!grew) {  // the registry said too little: try both buffers larger
            buffers.dataSize = std::min(buffers.dataSize * 2, kMaxEnumDataBytes);
            buffers.name.assign(std::min(buffers.name.size() * 2, kMaxEnumNameChars), '\0');
        }
    }
    return kErrorMoreData;
}

// Failures of the enumeration that concern one value, after which the next one can be read: a
// value too large for any buffer, a name the code page cannot hold.
bool affectsOneValueOnly(RegResult result) {
    return result == kErrorMoreData || result == kErrorNoUnicodeTranslation;
}

}  // namespace

std::int16_t RegInfoGetSet::EnumRegValues(RegKey root, const std::string& subKey,
                                          std::vector<std::string>& names,
                                          std::vector<std::string>& texts,
                                          std::vector<RegKey>& handles) {
    const Result<std::string> ansiSubKey = m_codec.toAnsi(subKey);
    if (!ansiSubKey) return -1;

    RegKey handle = 0;
    if (m_api.RegOpenKeyA(root, ansiSubKey.value().c_str(), &handle) != kErrorSuccess) return -1;

    EnumBuffers buffers;
    std::uint32_t position = 0;  // the registry's index; differs from `listed` after a skip
    std::int16_t listed = 0;
    constexpr std::int16_t kMaxCount = std::numeric_limits<std::int16_t>::max();

    while (listed < kMaxCount && m_openKeyHandleCount < kMaxCount) {
        std::string ansiName;
        const RegResult result = enumValueName(m_api, handle, position, buffers, ansiName);
        if (result != kErrorSuccess) {
            if (!affectsOneValueOnly(result)) break;  // the end of the values, or the key is gone
            ++position;  // this value cannot be named here; the ones after it still are listed
            continue;
        }
        const Result<std::string> name = m_codec.fromAnsi(ansiName);

        ++m_openKeyHandleCount;
        names.resize(static_cast<std::size_t>(listed) + 2);
        texts.resize(static_cast<std::size_t>(listed) + 2);
        handles.resize(static_cast<std::size_t>(m_openKeyHandleCount) + 1);
        names[listed] = name ? name.value() : escapedName(ansiName);
        std::int32_t flag = 0;  // a value that is not REG_SZ is listed with the empty text
        texts[listed] = GetRegString(root, subKey, names[listed], kKeyAllAccess, flag);
        handles[m_openKeyHandleCount - 1] = handle;
        ++listed;
        ++position;
    }

    // With no value listed the handle is recorded nowhere, so nobody else would close it.
    if (listed == 0) (void)m_api.RegCloseKey(handle);
    return listed;
}

}  // namespace hivora
