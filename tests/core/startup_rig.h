#pragma once
// A startup list over the real file store with the change journal recording it, so that tests can
// list, switch, delete and undo, and compare what is stored byte for byte.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/journal/registry_state.h"
#include "core/startup/startup_list.h"
#include "tests/core/journal_fixture.h"

namespace hivora {

inline void PrintTo(const ValueState& value, std::ostream* out) {
    *out << (value.present ? "type " + std::to_string(value.type) + " bytes:" : "absent");
    for (unsigned char c : value.data) {
        static const char kHex[] = "0123456789abcdef";
        *out << ' ' << kHex[c >> 4] << kHex[c & 15];
    }
}

}  // namespace hivora

namespace hivora::testing {

// 2023-02-04 14:27:00 UTC as a FILETIME; its bytes are d4 0d 43 8d c8 3b d9 01.
inline constexpr FileTime kSwitchTime = 0x01D93BC88D430DD4ULL;

class StartupRig {
  public:
    StartupRig() : m_list(m_fixture.layer()) {
        m_list.setObserver(&m_fixture.recorder());
        m_list.setClock([] { return kSwitchTime; });
    }

    void put(RegKey root, const std::string& key, const std::string& name, std::uint32_t type,
             const std::string& data) {
        putValue(m_fixture.store(), root, key, name, type, data);
        ASSERT_TRUE(m_fixture.store().flush());
    }
    ValueState stored(RegKey root, const std::string& key, const std::string& name) {
        return readValueState(m_fixture.view(), root, key, name).value();
    }
    // The row of `name` read from `source`, or -1.
    int rowOf(std::size_t source, const std::string& name) const {
        for (std::size_t k = 0; k < m_list.size(); ++k)
            if (m_list.rows()[k].source == source && m_list.rows()[k].name == name)
                return static_cast<int>(k);
        return -1;
    }
    // Checks only the row of `name` in `source`; false when there is none.
    bool checkOnly(std::size_t source, const std::string& name) {
        const int row = rowOf(source, name);
        for (std::size_t k = 0; k < m_list.size(); ++k)
            m_list.setCheckState(k, static_cast<int>(k) == row ? kChecked : kUnchecked);
        return row >= 0;
    }

    StartupList& list() { return m_list; }
    JournalFixture& fixture() { return m_fixture; }

  private:
    JournalFixture m_fixture;
    StartupList m_list;
};

}  // namespace hivora::testing
