// The stored properties of the skinned scroll bar, and the in-memory description.

#include "core/scrollbar/scroll_bar_properties.h"

#include <algorithm>
#include <cctype>

#include "core/scrollbar/skinned_scroll_bar.h"

namespace hivora {

namespace {

bool sameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Defaults of the stored properties: read when a key is absent, not written when equal.
constexpr std::int32_t kDefaultEnabled = kStoredTrue;
constexpr std::int32_t kDefaultLargeChange = 10;
constexpr std::int32_t kDefaultMax = 255;
constexpr std::int32_t kDefaultMin = 0;
constexpr std::int32_t kDefaultSmallChange = 1;
constexpr std::int32_t kDefaultValue = 0;
constexpr std::int32_t kDefaultColorScheme = 0;

}  // namespace

// ---- MemoryPropertyBag ----------------------------------------------------------------------

std::vector<MemoryPropertyBag::Entry>::iterator MemoryPropertyBag::locate(std::string_view key) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [key](const Entry& entry) { return sameKey(entry.key, key); });
}

std::int32_t MemoryPropertyBag::ReadProperty(std::string_view key, std::int32_t defaultValue) {
    return find(key).value_or(defaultValue);
}

void MemoryPropertyBag::WriteProperty(std::string_view key, std::int32_t value,
                                      std::int32_t defaultValue) {
    if (value != defaultValue) {
        set(key, value);
        return;
    }
    const auto found = locate(key);
    if (found != m_entries.end()) m_entries.erase(found);
}

void MemoryPropertyBag::set(std::string_view key, std::int32_t value) {
    const auto found = locate(key);
    if (found != m_entries.end()) {
        found->key = std::string(key);
        found->value = value;
    } else {
        m_entries.push_back({std::string(key), value});
    }
}

std::optional<std::int32_t> MemoryPropertyBag::find(std::string_view key) const {
    for (const Entry& entry : m_entries) {
        if (sameKey(entry.key, key)) return entry.value;
    }
    return std::nullopt;
}

// ---- The bar's stored properties ------------------------------------------------------------

void SkinnedScrollBar::ReadProperties(PropertyBag& bag) {
    // The order matters: each setter acts on what the earlier ones left (Max before Value, so
    // that a stored value above the default maximum survives; Min after Max).
    m_window.setWindowEnabled(bag.ReadProperty("Enabled", kDefaultEnabled) != kStoredFalse);
    setLargeChange(bag.ReadProperty("LargeChange", kDefaultLargeChange));
    setMax(bag.ReadProperty("Max", kDefaultMax));
    setMin(bag.ReadProperty("Min", kDefaultMin));
    setSmallChange(bag.ReadProperty("SmallChange", kDefaultSmallChange));
    setValue(bag.ReadProperty("Value", kDefaultValue));
    m_scheme = bag.ReadProperty("ColorScheme", kDefaultColorScheme);  // stored as it stands
    loadColorScheme();
    relayout();
}

void SkinnedScrollBar::WriteProperties(PropertyBag& bag) {
    bag.WriteProperty("Enabled", Enabled() ? kStoredTrue : kStoredFalse, kDefaultEnabled);
    bag.WriteProperty("LargeChange", m_largeChange, kDefaultLargeChange);
    bag.WriteProperty("Min", m_min, kDefaultMin);
    bag.WriteProperty("Max", m_max, kDefaultMax);
    bag.WriteProperty("SmallChange", m_smallChange, kDefaultSmallChange);
    bag.WriteProperty("Value", m_value, kDefaultValue);
    bag.WriteProperty("Colorscheme", m_scheme, kDefaultColorScheme);
    relayout();
}

}  // namespace hivora
