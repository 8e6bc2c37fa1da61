#pragma once
// The registry as the program sees it: the ten advapi32 ANSI functions it calls, with Windows
// result codes and the four predefined roots. Implementations: the Win32 pass-through
// (platform/windows) and the Wine-format store (platform/*.cpp), which also runs purely in memory
// for tests.
//
// Conventions shared by every implementation, as on Windows:
// - Texts (key paths, value names, REG_SZ/REG_EXPAND_SZ data) are in the ANSI code page.
// - Key and value names are case-insensitive and case-preserving; "" names the default value.
// - A handle is a 32-bit number. The predefined roots are always valid; any other handle is valid
//   from the call that returns it until RegCloseKey. An unknown or closed handle gives
//   kErrorInvalidHandle, never a crash.
// - On failure the out-handle is set to 0.
// Every function is pure virtual: a wrapper that forgets to forward one does not compile.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace hivora {

using RegKey = std::uint32_t;
using RegResult = std::int32_t;

inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;

// "HKEY_CURRENT_USER" and so on; "" for a handle that is no predefined root.
constexpr std::string_view rootName(RegKey root) {
    switch (root) {
        case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT";
        case kHkeyCurrentUser: return "HKEY_CURRENT_USER";
        case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
        case kHkeyUsers: return "HKEY_USERS";
        default: return "";
    }
}

inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kRegOptionNonVolatile = 0;
// Opens a symbolic-link key named last in a path as itself rather than its target.
inline constexpr std::uint32_t kRegOptionOpenLink = 8;

inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Windows result codes the program meets.
inline constexpr RegResult kErrorSuccess = 0;
inline constexpr RegResult kErrorFileNotFound = 2;
inline constexpr RegResult kErrorAccessDenied = 5;
inline constexpr RegResult kErrorInvalidHandle = 6;
inline constexpr RegResult kErrorNotEnoughMemory = 8;
inline constexpr RegResult kErrorWriteFault = 29;
inline constexpr RegResult kErrorInvalidParameter = 87;
inline constexpr RegResult kErrorDiskFull = 112;
inline constexpr RegResult kErrorMoreData = 234;
inline constexpr RegResult kErrorNoMoreItems = 259;
inline constexpr RegResult kErrorBadPathname = 161;
inline constexpr RegResult kErrorBusy = 170;
inline constexpr RegResult kErrorCallNotImplemented = 120;
inline constexpr RegResult kErrorNoUnicodeTranslation = 1113;
inline constexpr RegResult kErrorKeyDeleted = 1018;
inline constexpr RegResult kErrorRegistryCorrupt = 1015;
inline constexpr RegResult kErrorRegistryIoFailed = 1016;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // Opens an existing key. `options` and `sam` are passed through (the store ignores them).
    virtual RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                    std::uint32_t sam, RegKey* result) = 0;
    // Opens an existing key with default rights. A null or empty subKey opens `key` itself again.
    virtual RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) = 0;
    // Opens a key, creating every missing key of the path; new keys get `keyClass` (may be null).
    // `disposition` (may be null) receives kRegCreatedNewKey or kRegOpenedExistingKey.
    virtual RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                                      const char* keyClass, std::uint32_t options,
                                      std::uint32_t sam, RegKey* result,
                                      std::uint32_t* disposition) = 0;
    // With a null `data`: reports type and the byte count needed. With a buffer smaller than
    // needed: kErrorMoreData and the needed count. `type` and `cbData` may be null where Windows
    // allows it.
    virtual RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* cbData) = 0;
    // Creates or replaces a value.
    virtual RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t cbData) = 0;
    // The index-th value. `cchValueName` holds the buffer's size in characters on entry and the
    // name's length without NUL on return. kErrorNoMoreItems past the end; kErrorMoreData when a
    // buffer is too small.
    virtual RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                                    std::uint32_t* cchValueName, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* cbData) = 0;
    virtual RegResult RegDeleteValueA(RegKey key, const char* valueName) = 0;
    // The index-th sub-key: its name and, when `keyClass` is given, its class ("" for none).
    // `cchName` and `cchClass` hold the buffers' sizes in characters on entry and the lengths
    // without NUL on return. kErrorNoMoreItems past the end; kErrorMoreData when a buffer is too
    // small. The change journal calls it to keep a removed key whole, and key removal to take
    // a key's branch with it.
    virtual RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                    std::uint32_t* cchName, char* keyClass,
                                    std::uint32_t* cchClass) = 0;
    // Deletes the sub-key (an empty subKey: the key itself); refused when it has sub-keys.
    virtual RegResult RegDeleteKeyA(RegKey key, const char* subKey) = 0;
    virtual RegResult RegCloseKey(RegKey key) = 0;

    // Makes every change so far durable. Stores that save lazily batch the changes of one user
    // action and save them here; the Windows registry does nothing. On failure the changes not
    // yet saved are dropped, so what the program reads again is what is on disk.
    [[nodiscard]] virtual Status flush() = 0;

    // Holds the store against every other writer, this program's other runs included, until the
    // matching unlockStore(): an action reads the values it replaces, records them and saves
    // them under one hold, so that no other writer comes in between. Calls nest. Failure: the
    // store cannot be held (the Status says why, in Chinese) and nothing is held; the caller
    // must not call unlockStore() then. The Windows registry holds nothing and always succeeds.
    [[nodiscard]] virtual Status lockStore() = 0;
    virtual void unlockStore() = 0;
    // Drops every change not yet made durable, so that the next flush() writes nothing and reads
    // give what is saved. True when it did; false when changes take effect at once (the Windows
    // registry), and the caller must write back the old values itself.
    virtual bool discardChanges() = 0;

    // A sentence for the user about the last failed call, when the implementation knows more
    // than the result code (for example "注册表文件被 Wine 占用"). Empty when it has nothing.
    virtual std::string lastErrorMessage() const = 0;
};

}  // namespace hivora
