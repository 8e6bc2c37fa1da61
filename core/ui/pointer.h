#pragma once
// The mouse pointer as controls see it: which window lies under it. A window is named by an opaque
// handle (the platform's window handle, or whatever identity the toolkit gives a widget); 0 names
// no window.

#include <cstdint>

namespace hivora {

using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

class PointerService {
  public:
    virtual ~PointerService() = default;

    // True when the window topmost under the pointer's screen position is exactly `window`; a
    // child window lying over `window` at that point makes the answer false, and so does a pointer
    // over no window of the program. Never fails.
    virtual bool IsCursorOverWindow(WindowHandle window) const = 0;
};

}  // namespace hivora
