// Key watches through RegNotifyChangeKeyValue, asynchronous: each key has an auto-reset event the
// system signals once per arming.

#include <windows.h>

#include <set>
#include <tuple>

#include "platform/registry_change_watch.h"

namespace hivora {
namespace {

HKEY rootKey(RegKey root) {
    switch (root) {
        case kHkeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kHkeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHkeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case kHkeyUsers:
            return HKEY_USERS;
        default:
            return nullptr;
    }
}

constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

class Win32RegistryChangeWatch final : public RegistryChangeWatch {
  public:
    explicit Win32RegistryChangeWatch(const std::vector<std::pair<RegKey, std::string>>& keys) {
        std::set<std::tuple<RegKey, std::string, bool>> seen;
        for (const auto& [root, path] : keys) {
            HKEY parent = rootKey(root);
            if (!parent) continue;
            // A key not made yet: its nearest ancestor, with the sub-keys below it.
            std::string watched = path;
            bool subtree = false;
            HKEY key = nullptr;
            while (::RegOpenKeyExA(parent, watched.c_str(), 0, KEY_NOTIFY, &key) != ERROR_SUCCESS) {
                key = nullptr;
                subtree = true;
                if (watched.empty()) break;
                const auto cut = watched.rfind('\\');
                watched = cut == std::string::npos ? std::string() : watched.substr(0, cut);
            }
            if (!key) continue;
            if (!seen.insert({root, watched, subtree}).second) {
                ::RegCloseKey(key);
                continue;
            }
            Entry entry{key, ::CreateEventA(nullptr, FALSE, FALSE, nullptr), subtree};
            if (!entry.event || !arm(entry)) {
                if (entry.event) ::CloseHandle(entry.event);
                ::RegCloseKey(key);
                continue;
            }
            m_entries.push_back(entry);
        }
    }

    ~Win32RegistryChangeWatch() override {
        for (const Entry& entry : m_entries) {
            ::RegCloseKey(entry.key);  // ends the pending notice
            ::CloseHandle(entry.event);
        }
    }

    std::vector<void*> eventHandles() const override {
        std::vector<void*> handles;
        for (const Entry& entry : m_entries) handles.push_back(entry.event);
        return handles;
    }

    void rearm(void* eventHandle) override {
        for (Entry& entry : m_entries) {
            if (entry.event == eventHandle) (void)arm(entry);
        }
    }

  private:
    struct Entry {
        HKEY key;
        HANDLE event;
        bool subtree;
    };

    static bool arm(const Entry& entry) {
        return ::RegNotifyChangeKeyValue(entry.key, entry.subtree ? TRUE : FALSE, kNotifyFilter,
                                         entry.event, TRUE) == ERROR_SUCCESS;
    }

    std::vector<Entry> m_entries;
};

}  // namespace

std::unique_ptr<RegistryChangeWatch> makeRegistryChangeWatch(
    const std::vector<std::pair<RegKey, std::string>>& keys) {
    return std::make_unique<Win32RegistryChangeWatch>(keys);
}

}  // namespace hivora
