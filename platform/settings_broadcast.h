#pragma once
// Tells running programs that a setting changed, as the control panel does after it writes one,
// so that the change shows without a new logon. Best effort: a program that does not answer
// within a short time is skipped, and a failure changes nothing that was written.

#include <memory>
#include <string>

#include "platform/status.h"

namespace hivora {

class SettingsBroadcaster {
  public:
    virtual ~SettingsBroadcaster() = default;

    // WM_SETTINGCHANGE to every top-level window with `area` as its text ("Policy", "intl",
    // "WindowMetrics"), waiting at most a short time for each. Failure: the platform's error.
    virtual Status announceSettingChange(const std::string& area) = 0;

    // SystemParametersInfo with SPIF_SENDCHANGE: menus drop to the right (true) or to the left,
    // and windows show their contents while dragged (true) or only their frame.
    virtual Status setMenuDropAlignment(bool rightAligned) = 0;
    virtual Status setDragFullWindows(bool fullWindows) = 0;
};

// Windows: the calls above. Elsewhere (the file store has no running programs to tell): every
// call does nothing and succeeds.
std::unique_ptr<SettingsBroadcaster> makeSettingsBroadcaster();

}  // namespace hivora
