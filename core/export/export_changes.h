#pragma once
// What an export writes: the net state that chosen journal entries leave behind, as a list of
// changes in the order they must be made. The writers (reg_writer.h, ps1_writer.h,
// ansible_writer.h) turn that list into a file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/journal/journal_entry.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

// The indexes into `entries` (oldest first, as the journal holds them) of every action that is
// not undone now, in order. Undo and redo entries are left out: a redone action counts as done.
std::vector<std::size_t> entriesNotUndone(const std::vector<JournalEntry>& entries);
// The indexes of the entries whose ids lie in [first, last], in order, undos and redos included.
// Failure: first > last, or no entry lies in the range.
Result<std::vector<std::size_t>> entriesInIdRange(const std::vector<JournalEntry>& entries,
                                                  std::int64_t first, std::int64_t last);

// Each item the chosen entries changed, once, with the state the last of them left it in
// (`valueAfter` / `keyAfter`), ordered by that last change. Replaying the list in order gives
// the same registry as replaying the entries.
std::vector<JournalItem> netItems(const std::vector<JournalEntry>& entries,
                                  const std::vector<std::size_t>& chosen);

struct ExportChange {
    enum class Kind {
        MakeKey,        // the key exists (made with its parents when missing)
        RemoveKey,      // the key and its whole branch are gone
        SetValue,       // `name` holds `type` and `data`
        RemoveValue,    // `name` is gone
        SecretLeftOut,  // a password value: its data is never written out
    } kind = Kind::MakeKey;
    RegKey root = 0;
    std::string key;   // UTF-8
    std::string name;  // UTF-8; "" the default value
    std::uint32_t type = 0;
    std::string data;  // raw bytes as the registry keeps them, texts in the ANSI code page

    friend bool operator==(const ExportChange&, const ExportChange&) = default;
};

// The changes that make `items` (from netItems) true: a key present is made and given its
// values and sub-keys (values it holds already but the record lacks are left alone); a key
// absent is removed whole; a value is set or removed. Password values (isSecretValue) become
// SecretLeftOut, wherever they are.
std::vector<ExportChange> exportChanges(const std::vector<JournalItem>& items);

// Whether a value called `name` is a password (as isSecretValue).
bool isSecretName(const std::string& name);

// The text of REG_SZ or REG_EXPAND_SZ data, in UTF-8, without its terminating NUL. Failure: the
// bytes are not valid in the code page.
Result<std::string> valueText(const std::string& data, const AnsiCodec& codec);
// The texts of REG_MULTI_SZ data, in UTF-8, without the empty text that ends the list.
Result<std::vector<std::string>> valueTexts(const std::string& data, const AnsiCodec& codec);
// The number of a four-byte REG_DWORD (least significant byte first); empty for other lengths.
std::optional<std::uint32_t> valueDword(const std::string& data);
// The number of an eight-byte REG_QWORD; empty for other lengths.
std::optional<std::uint64_t> valueQword(const std::string& data);

// "HKEY_CURRENT_USER\Software\..." of a change's key.
std::string changeKeyPath(const ExportChange& change);

}  // namespace hivora
