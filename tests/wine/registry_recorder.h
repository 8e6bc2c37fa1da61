#pragma once
// Runs registry calls below one base key and records, line by line, what each gives back: result
// codes, types, sizes, data and names. Two registries that answer alike give equal records.
// Handles are recorded by what they are ("base", "other", "none"), since their numbers differ.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

using Bytes = std::string;

inline Bytes bytes(const char* data, std::size_t count) {
    return Bytes(data, count);
}
inline Bytes dword(std::uint32_t v) {
    return Bytes{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                 static_cast<char>(v >> 24)};
}

inline Bytes repeated(const Bytes& unit, std::size_t times) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i) out += unit;
    return out;
}

inline std::string hex(const std::uint8_t* data, std::uint32_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint32_t i = 0; i < count; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

// Values of every type and of the odd shapes a program can write, each under a name of its own:
// texts (no terminator, only terminators, inner NULs, Chinese, control characters, long) as each
// of the three text types, and data of the other types with sizes the type does not suggest.
struct ValueShape {
    std::string name;
    std::uint32_t type;
    Bytes data;
};

inline std::vector<ValueShape> valueShapes() {
    const std::pair<const char*, Bytes> texts[] = {
        {"Empty", ""},
        {"OneByte", "a"},
        {"TwoBytes", "ab"},
        {"WithNul", bytes("abc", 4)},
        {"OnlyNul", bytes("", 1)},
        {"TwoNuls", bytes("\0\0", 2)},
        {"InnerNul", bytes("a\0b", 3)},
        {"InnerNulAndEnd", bytes("a\0b", 4)},
        {"ChineseNoNul", "\xD6\xD0\xCE\xC4"},
        {"ChineseWithNul", bytes("\xD6\xD0\xCE\xC4", 5)},
        {"EuroSign", "\x80"},
        {"Controls", bytes("tab\there\nline\r\x1b\x01\x7f", 18)},
        {"Path", bytes("%SystemRoot%\\\xCF\xB5\xCD\xB3", 18)},
        {"LongChinese", repeated("\xD6\xD0", 1500) + Bytes(1, '\0')},  // 中...
    };
    const std::pair<const char*, std::uint32_t> textTypes[] = {
        {"Sz", kRegSz}, {"ExpandSz", kRegExpandSz}, {"MultiSz", kRegMultiSz}};
    std::vector<ValueShape> shapes;
    for (const auto& [typeName, type] : textTypes) {
        for (const auto& [shapeName, data] : texts)
            shapes.push_back({std::string(typeName) + "_" + shapeName, type, data});
    }
    const ValueShape raws[] = {
        {"Dword", kRegDword, dword(0x12345678)},
        {"DwordTwoBytes", kRegDword, "\x01\x02"},
        {"DwordFiveBytes", kRegDword, "\x01\x02\x03\x04\x05"},
        {"DwordEmpty", kRegDword, ""},
        {"BinaryEmpty", kRegBinary, ""},
        {"BinaryBytes", kRegBinary, bytes("\x00\x01\xFF", 3)},
        {"BinaryLong", kRegBinary, repeated(bytes("\x03\x0A\x00\xFF\x80", 5), 120)},
        {"NoneEmpty", kRegNone, ""},
        {"NoneBytes", kRegNone, "\x01\x02"},
        {"Qword", 11, bytes("\x01\x00\x00\x00\x00\x00\x00\x80", 8)},
        {"UnknownType", 0x1234ABCD, "\x07"},
    };
    for (const ValueShape& raw : raws) shapes.push_back({"Raw_" + raw.name, raw.type, raw.data});
    return shapes;
}

class Recorder {
  public:
    Recorder(RegistryApi& api, RegKey base) : m_api(api), m_base(base) {}

    RegistryApi& api() { return m_api; }
    RegKey base() const { return m_base; }
    const std::string& trace() const { return m_trace; }

    void line(const std::string& text) { m_trace += text + "\n"; }
    // Records "<what> -> <result>" and gives the result back.
    RegResult note(const std::string& what, RegResult result) {
        line(what + " -> " + std::to_string(result));
        return result;
    }

    std::string handleKind(RegKey handle) const {
        if (handle == 0) return "none";
        return handle == m_base ? "base" : "other";
    }

    void set(const char* name, std::uint32_t type, const Bytes& data, RegKey key = 0) {
        note("set " + label(name),
             m_api.RegSetValueExA(key ? key : m_base, name, 0, type,
                                  reinterpret_cast<const std::uint8_t*>(data.data()),
                                  static_cast<std::uint32_t>(data.size())));
    }

    // The whole read of a value: the size query, a read into a buffer of that size, and one into
    // a buffer a byte short. What a failed call leaves in its out-parameters is not documented,
    // so only a successful call's are recorded.
    void read(const char* name, RegKey key = 0) {
        if (!key) key = m_base;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        RegResult r = m_api.RegQueryValueExA(key, name, &type, nullptr, &size);
        if (r != kErrorSuccess) {
            note("size " + label(name), r);
            return;
        }
        line("size " + label(name) + " -> 0 type " + std::to_string(type) + " size " +
             std::to_string(size));
        std::vector<std::uint8_t> buffer(size + 8, 0xEE);
        std::uint32_t count = size;
        r = m_api.RegQueryValueExA(key, name, &type, buffer.data(), &count);
        line("read -> " + std::to_string(r) + " type " + std::to_string(type) + " count " +
             std::to_string(count) + " data " + hex(buffer.data(), r == 0 ? count : 0));
        if (size == 0) return;
        count = size - 1;
        r = m_api.RegQueryValueExA(key, name, &type, buffer.data(), &count);
        line("short -> " + std::to_string(r) + " count " + std::to_string(count));
    }

    // Every value as the enumeration lists it, with buffers large enough for any value written.
    void enumerate() {
        for (std::uint32_t index = 0;; ++index) {
            char name[512];
            std::uint32_t nameLength = sizeof name;
            std::uint8_t data[4096];
            std::uint32_t dataLength = sizeof data;
            std::uint32_t type = 0;
            const RegResult r =
                m_api.RegEnumValueA(m_base, index, name, &nameLength, &type, data, &dataLength);
            if (r != kErrorSuccess) {
                note("enum " + std::to_string(index), r);
                return;
            }
            line("enum " + std::to_string(index) + " " + label(std::string(name, nameLength)) +
                 " type " + std::to_string(type) + " count " + std::to_string(dataLength) +
                 " data " + hex(data, dataLength));
        }
    }

    // Creates (or opens) `sub` below the base key; records the result and the kind of handle.
    RegKey create(const char* sub) {
        RegKey key = 0;
        const RegResult r =
            m_api.RegCreateKeyExA(m_base, sub, 0, nullptr, 0, kKeyAllAccess, &key, nullptr);
        line("create " + label(sub) + " -> " + std::to_string(r) + " " + handleKind(key));
        return key;
    }
    RegKey open(const char* sub, RegKey from = 0) {
        RegKey key = 0;
        const RegResult r = m_api.RegOpenKeyExA(from ? from : m_base, sub, 0, kKeyAllAccess, &key);
        line("open " + label(sub) + " -> " + std::to_string(r) + " " + handleKind(key));
        return key;
    }
    // Closes a handle the script opened (never the base key, which the caller owns).
    void close(RegKey key) {
        if (key && key != m_base) m_api.RegCloseKey(key);
    }

    static std::string label(const char* name) {
        return name ? label(std::string(name)) : "(null)";
    }
    static std::string label(const std::string& name) {
        if (name.size() > 40)
            return "\"" + name.substr(0, 8) + "...[" + std::to_string(name.size()) + "]\"";
        return "\"" + name + "\"";
    }

  private:
    RegistryApi& m_api;
    RegKey m_base;
    std::string m_trace;
};

}  // namespace hivora::test
