#pragma once
// The registry access layer: the only code that calls the registry. Thirteen small procedures,
// each opening (or creating) the key it needs, doing one thing and closing the key again; only
// EnumRegValues hands its open key to the caller, for removals from the startup list.
//
// Texts cross this layer as UTF-8 and are converted to the ANSI code page on the way in and back
// on the way out. A text the code page cannot hold is refused with an error, never written as "?".
//
// Writes, removals and key creation report the registry's outcome as a Status (the Windows result
// code in Status::code(), the store's own sentence where it has one). Removing a value or a key
// that is already absent is a success. A text over 32,767 bytes in ANSI form is refused, not cut.
// When opening or creating the key fails, nothing further is called on the registry.
//
// Saving. Outside an action every write is made durable before it returns. Between beginAction()
// and endAction() writes are only collected, and endAction() saves them in one go; a row action of
// the pages runs inside one such bracket, so it costs one save however many values it writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/status.h"

namespace hivora {

// Longest text, in ANSI bytes, that SetRegString and SetRegExpandString take.
inline constexpr std::size_t kMaxRegTextBytes = 32767;

class RegInfoGetSet {
  public:
    RegInfoGetSet(RegistryApi& api, const AnsiCodec& codec) : m_api(api), m_codec(codec) {}

    // Reads a REG_SZ value. Success: the text up to its first NUL (the whole text when the stored
    // value has no terminating NUL, as the writes below store it), errorFlag 0; an empty value
    // reads as "" with flag 0. Failure (no key, no value, another type, a text the code page
    // cannot decode): "" and errorFlag -1.
    std::string GetRegString(RegKey root, const std::string& subKey, const std::string& valueName,
                             std::uint32_t accessMask, std::int32_t& errorFlag);
    // As GetRegString for a REG_EXPAND_SZ value; references to variables are not expanded.
    std::string GetRegExpandString(RegKey root, const std::string& subKey,
                                   const std::string& valueName, std::uint32_t accessMask,
                                   std::int32_t& errorFlag);

    // Create the key path if needed (class "REG_SZ" / "REG_EXPAND_SZ" / "REG_DWORD" /
    // "REG_BINARY" for new keys) and store the value. The text is stored without a terminating NUL.
    // Refused before any registry call: a text, sub-key or value name the code page cannot hold
    // (code kErrorNoUnicodeTranslation), a text over kMaxRegTextBytes (kErrorInvalidParameter).
    Status SetRegString(RegKey root, const std::string& subKey, const std::string& valueName,
                        const std::string& text, std::uint32_t createOptions,
                        std::uint32_t accessMask);
    Status SetRegExpandString(RegKey root, const std::string& subKey, const std::string& valueName,
                              const std::string& text, std::uint32_t createOptions,
                              std::uint32_t accessMask);
    // Four bytes, least significant first.
    Status SetRegDword(RegKey root, const std::string& subKey, const std::string& valueName,
                       std::int32_t value, std::uint32_t createOptions, std::uint32_t accessMask);
    // `data` holds one byte per char, stored as they are (callers pass "\x01\0\0\0"-style bytes).
    // Empty data is refused.
    Status SetRegBinary(RegKey root, const std::string& subKey, const std::string& valueName,
                        std::string_view data, std::uint32_t createOptions,
                        std::uint32_t accessMask);
    // Any type with its bytes as they are, for values read from elsewhere (a .reg file) whose
    // type has no setter above; `data` holds texts in the ANSI code page. Empty data is allowed.
    Status SetRegRaw(RegKey root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t type, std::string_view data, std::uint32_t createOptions,
                     std::uint32_t accessMask);

    // Deletes the key itself (not its sub-keys: a key with sub-keys is refused by the registry).
    // A key that does not exist: ok.
    Status DeleteRegKey(RegKey root, const std::string& subKey, std::uint32_t accessMask);
    // Deletes the key with its whole branch, sub-keys first, with the full access mask (its own
    // accessMask is ignored). A key that does not exist: ok. On failure part of the branch may
    // be gone; inside an action the caller puts it back from what it read before.
    Status RemoveRegKey(RegKey root, const std::string& subKey, std::uint32_t accessMask);
    // Creates the key path empty (class "REG_SZ"); an existing key is left as it is.
    Status CreateRegKey(RegKey root, const std::string& subKey, std::uint32_t createOptions,
                        std::uint32_t accessMask);
    Status DeleteRegValue(RegKey root, const std::string& subKey, const std::string& valueName,
                          std::uint32_t accessMask);

    // Lists every value of the key, however long its name or data: names[i] and texts[i] for
    // i < the result (texts of values that are not REG_SZ are ""). names and texts are resized to
    // result + 1 entries (result 0: left as they were); entries from the result on carry no
    // meaning. The key stays open; its handle is appended to `handles` once per value listed,
    // after the OpenKeyHandleCount() entries of earlier calls, and the count advances. A key with
    // no values is closed again at once. A name the code page cannot decode is listed with its
    // non-ASCII bytes shown as \xHH (removing it by that name then fails); a value the registry
    // cannot name in the code page, or one too large for any buffer, is left out, and the values
    // after it are still listed.
    // Returns the number listed, or -1 when the key cannot be opened (lists and count untouched).
    std::int16_t EnumRegValues(RegKey root, const std::string& subKey,
                               std::vector<std::string>& names, std::vector<std::string>& texts,
                               std::vector<RegKey>& handles);
    // Removes a value through a handle from EnumRegValues; the registry's result code (0 success,
    // kErrorFileNotFound when the value is gone already, kErrorNoUnicodeTranslation for a name the
    // code page cannot hold). Outside an action a failed save gives that save's code.
    RegResult DeleteRegValueInKey(RegKey handle, const std::string& valueName);
    void CloseRegKey(RegKey handle);

    // The shared count of handles recorded by EnumRegValues; the startup list resets it to 0 once
    // it has closed them.
    std::int16_t& OpenKeyHandleCount() { return m_openKeyHandleCount; }

    // Brackets one user action: writes in between are saved together by endAction(). Nested
    // brackets count; only the outermost endAction() saves. Its Status is the save's outcome.
    // The outermost beginAction() also holds the store against other writers until the matching
    // endAction() (RegistryApi::lockStore), so that what the action reads before it writes, what
    // it records and what it saves belong together. Failure: the store cannot be held (the
    // Status says why); the bracket is still open and endAction() must still be called, but the
    // action must write nothing.
    Status beginAction();
    Status endAction();
    // In the outermost bracket: saves what the action wrote so far while the store is still held,
    // so that the caller can record how the save went before any other writer comes in. Nothing
    // may be written after it; the endAction() that follows saves nothing more (and is ok).
    Status saveAction();

    RegistryApi& api() { return m_api; }
    const AnsiCodec& codec() const { return m_codec; }

  private:
    Status failure(const char* what, RegResult code) const;
    // DeleteRegKey, and with `withBranch` RemoveRegKey.
    Status deleteKey(RegKey root, const std::string& subKey, std::uint32_t accessMask,
                     bool withBranch);
    Status save();
    Status saveIfOutsideAction();
    std::string readText(RegKey root, const std::string& subKey, const std::string& valueName,
                         std::uint32_t accessMask, std::uint32_t wantedType,
                         std::int32_t& errorFlag);
    Status writeValue(RegKey root, const std::string& subKey, const std::string& valueName,
                      const char* keyClass, std::uint32_t type, std::string_view bytes,
                      std::uint32_t createOptions, std::uint32_t accessMask);
    Status writeText(RegKey root, const std::string& subKey, const std::string& valueName,
                     const std::string& text, const char* keyClass, std::uint32_t type,
                     std::uint32_t createOptions, std::uint32_t accessMask);

    RegistryApi& m_api;
    const AnsiCodec& m_codec;
    std::int16_t m_openKeyHandleCount = 0;
    int m_actionDepth = 0;
    bool m_storeHeld = false;   // the outermost beginAction() holds the store
    bool m_savedEarly = false;  // saveAction() was called in the open bracket
};

}  // namespace hivora
