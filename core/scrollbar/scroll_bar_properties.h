#pragma once
// A host window's description of its controls' stored properties: 32-bit values under text keys,
// keys matched without regard to letter case. Truth values are stored as the platform's booleans:
// -1 true, 0 false (any non-zero value reads as true).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hivora {

inline constexpr std::int32_t kStoredTrue = -1;
inline constexpr std::int32_t kStoredFalse = 0;

class PropertyBag {
  public:
    virtual ~PropertyBag() = default;
    // The value stored under `key` in any letter case, or `defaultValue` when there is none.
    virtual std::int32_t ReadProperty(std::string_view key, std::int32_t defaultValue) = 0;
    // Stores `value` under `key`, spelt as given. A value equal to `defaultValue` is not stored,
    // and removes what an earlier save stored under the key, so that reading gives the default.
    virtual void WriteProperty(std::string_view key, std::int32_t value,
                               std::int32_t defaultValue) = 0;
};

// A description held in memory, entries in the order they were first stored.
class MemoryPropertyBag : public PropertyBag {
  public:
    struct Entry {
        std::string key;
        std::int32_t value = 0;
    };

    std::int32_t ReadProperty(std::string_view key, std::int32_t defaultValue) override;
    void WriteProperty(std::string_view key, std::int32_t value,
                       std::int32_t defaultValue) override;

    // Stores `value` under `key`, replacing an entry whose key matches in any letter case (the
    // entry keeps its place and takes the new spelling).
    void set(std::string_view key, std::int32_t value);
    // The value under `key` in any letter case.
    std::optional<std::int32_t> find(std::string_view key) const;
    const std::vector<Entry>& entries() const { return m_entries; }

  private:
    std::vector<Entry>::iterator locate(std::string_view key);

    std::vector<Entry> m_entries;
};

}  // namespace hivora
