#pragma once
// User-interface timers on Qt's event loop.

#include <memory>

#include "core/ui/timer_service.h"

namespace hivora {

class QtTimerService : public TimerService {
  public:
    // A QTimer underneath: ticks are delivered by the event loop of the thread that created the
    // timer (the user-interface thread).
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;

    // The one service shared by controls that are given none.
    static QtTimerService& shared();
};

}  // namespace hivora
