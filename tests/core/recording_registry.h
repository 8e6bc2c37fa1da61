#pragma once
// A registry double for the registry layer's tests: it records every call with its arguments as
// one line of text, answers from a small table of values of one key, and returns the result
// codes a test asks for.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

struct FakeValue {
    std::string name;  // ANSI
    std::uint32_t type;
    std::string data;                      // the stored bytes
    RegResult enumResult = kErrorSuccess;  // non-zero: RegEnumValueA fails with it at this value
};

class RecordingRegistry : public RegistryApi {
  public:
    std::vector<std::string> calls;
    // The values of whatever key is opened, in enumeration order.
    std::vector<FakeValue> values;
    // Result codes by function name ("RegSetValueExA", ..., "flush"); absent: success.
    std::map<std::string, RegResult> results;
    RegKey nextHandle = 0x100;

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override {
        const RegResult r = resultOf("RegOpenKeyExA");
        *result = r == kErrorSuccess ? nextHandle++ : 0;
        log("RegOpenKeyExA(" + hex(key) + ", " + quoted(subKey) + ", " + hex(options) + ", " +
            hex(sam) + ") -> " + hex(*result));
        return r;
    }
    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override {
        const RegResult r = resultOf("RegOpenKeyA");
        *result = r == kErrorSuccess ? nextHandle++ : 0;
        log("RegOpenKeyA(" + hex(key) + ", " + quoted(subKey) + ") -> " + hex(*result));
        return r;
    }
    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override {
        const RegResult r = resultOf("RegCreateKeyExA");
        *result = r == kErrorSuccess ? nextHandle++ : 0;
        if (disposition) *disposition = kRegCreatedNewKey;
        log("RegCreateKeyExA(" + hex(key) + ", " + quoted(subKey) + ", " + hex(reserved) + ", " +
            quoted(keyClass) + ", " + hex(options) + ", " + hex(sam) + ") -> " + hex(*result));
        return r;
    }
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override {
        log("RegQueryValueExA(" + hex(key) + ", " + quoted(valueName) + ", " +
            (data ? "buffer" : "null") + ", " + std::to_string(*cbData) + ")");
        if (key == 0) return kErrorInvalidHandle;
        const FakeValue* value = find(valueName);
        if (!value) return kErrorFileNotFound;
        if (type) *type = value->type;
        const auto needed = static_cast<std::uint32_t>(value->data.size());
        if (data && *cbData < needed) {
            *cbData = needed;
            return kErrorMoreData;
        }
        if (data) std::memcpy(data, value->data.data(), needed);
        *cbData = needed;
        return kErrorSuccess;
    }
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override {
        log("RegSetValueExA(" + hex(key) + ", " + quoted(valueName) + ", " + hex(reserved) + ", " +
            hex(type) + ", [" + bytesText(data, cbData) + "], " + std::to_string(cbData) + ")");
        return resultOf("RegSetValueExA");
    }
    // Wine's answer to a short buffer: kErrorMoreData, the data size needed in cbData, and the
    // name's length in cchValueName when the name fits, left as it was when it does not.
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override {
        log("RegEnumValueA(" + hex(key) + ", " + std::to_string(index) + ", " +
            std::to_string(*cchValueName) + ", " + std::to_string(*cbData) + ")");
        if (index >= values.size()) return kErrorNoMoreItems;
        const FakeValue& value = values[index];
        if (value.enumResult != kErrorSuccess) return value.enumResult;
        const bool nameFits = value.name.size() + 1 <= *cchValueName;
        const bool dataFits = value.data.size() <= *cbData;
        *cbData = static_cast<std::uint32_t>(value.data.size());
        if (nameFits) *cchValueName = static_cast<std::uint32_t>(value.name.size());
        if (!nameFits || !dataFits) return kErrorMoreData;
        std::memcpy(valueName, value.name.c_str(), value.name.size() + 1);
        if (type) *type = value.type;
        std::memcpy(data, value.data.data(), value.data.size());
        return kErrorSuccess;
    }
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override {
        log("RegDeleteValueA(" + hex(key) + ", " + quoted(valueName) + ")");
        return resultOf("RegDeleteValueA");
    }
    // The double's one key has no sub-keys.
    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char*, std::uint32_t*, char*,
                            std::uint32_t*) override {
        log("RegEnumKeyExA(" + hex(key) + ", " + std::to_string(index) + ")");
        const RegResult r = resultOf("RegEnumKeyExA");
        return r == kErrorSuccess ? kErrorNoMoreItems : r;
    }
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override {
        log("RegDeleteKeyA(" + hex(key) + ", " + quoted(subKey) + ")");
        return resultOf("RegDeleteKeyA");
    }
    RegResult RegCloseKey(RegKey key) override {
        log("RegCloseKey(" + hex(key) + ")");
        return resultOf("RegCloseKey");
    }
    Status flush() override {
        log("flush");
        const RegResult r = resultOf("flush");
        return r == kErrorSuccess ? Status::ok() : Status::error("save failed", r);
    }

    std::string lastErrorMessage() const override { return {}; }
    // Not logged: the call logs are about the registry calls proper. Writes count as made at
    // once, as on Windows, so callers write old values back themselves.
    Status lockStore() override { return Status::ok(); }
    void unlockStore() override {}
    bool discardChanges() override { return false; }

    static std::string hex(std::uint32_t v) {
        char text[16];
        std::snprintf(text, sizeof text, "%X", v);
        return text;
    }

  private:
    RegResult resultOf(const std::string& function) const {
        const auto it = results.find(function);
        return it == results.end() ? kErrorSuccess : it->second;
    }
    const FakeValue* find(const char* name) const {
        for (const FakeValue& v : values) {
            if (v.name == name) return &v;
        }
        return nullptr;
    }
    static std::string quoted(const char* text) {
        return text ? "\"" + std::string(text) + "\"" : "null";
    }
    static std::string bytesText(const std::uint8_t* data, std::uint32_t count) {
        std::string text;
        for (std::uint32_t i = 0; i < count; ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02X", data[i]);
            text += (i ? " " : "") + std::string(byte);
        }
        return text;
    }
    void log(std::string line) { calls.push_back(std::move(line)); }
};

}  // namespace hivora::test
