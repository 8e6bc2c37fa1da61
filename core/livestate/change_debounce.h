#pragma once
// Folds a burst of change notices into one call: a save by another program touches several files
// and the folder in quick succession, and each read of every row should follow the last of them.

#include <functional>
#include <memory>

#include "core/ui/timer_service.h"

namespace hivora {

inline constexpr int kStoreChangeSettleMs = 200;

class ChangeDebouncer {
  public:
    // `onSettled` runs once `settleMs` after the last notice of a burst, on the timers' thread.
    ChangeDebouncer(TimerService& timers, std::function<void()> onSettled,
                    int settleMs = kStoreChangeSettleMs);

    // A change was seen: the call waits until `settleMs` pass without another notice.
    void notice();
    // Whether a call is waiting.
    bool pending() const { return m_timer->isActive(); }

  private:
    std::function<void()> m_onSettled;
    int m_settleMs;
    std::unique_ptr<Timer> m_timer;
};

}  // namespace hivora
