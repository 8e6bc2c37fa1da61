#include "core/livestate/change_debounce.h"

namespace hivora {

ChangeDebouncer::ChangeDebouncer(TimerService& timers, std::function<void()> onSettled,
                                 int settleMs)
    : m_onSettled(std::move(onSettled)), m_settleMs(settleMs) {
    m_timer = timers.createTimer([this] {
        // Stopped first: the call may notice a change of its own and start the timer again.
        m_timer->stop();
        m_onSettled();
    });
}

void ChangeDebouncer::notice() {
    m_timer->start(m_settleMs);
}

}  // namespace hivora
