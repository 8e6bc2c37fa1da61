#pragma once
// A fake clock for tests: a TimerService whose time moves only when the test says so. advance()
// fires every tick that falls due on the way, in time order; ticks due at the same moment fire in
// the order the timers were created. A tick may start, stop or destroy timers (its own included);
// that takes effect for the ticks after it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/ui/timer_service.h"

namespace hivora::testing {

class FakeClock : public TimerService {
  public:
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override {
        auto slot = std::make_shared<Slot>();
        slot->onTick = std::move(onTick);
        m_slots.push_back(slot);
        return std::make_unique<FakeTimer>(*this, slot);
    }

    // Moves time forward by `ms` milliseconds, firing the ticks due up to and including the end.
    void advance(long long ms) {
        const long long end = m_now + ms;
        while (true) {
            std::shared_ptr<Slot> next;
            for (const auto& slot : m_slots) {
                if (slot->active && slot->due <= end && (!next || slot->due < next->due))
                    next = slot;
            }
            if (!next) break;
            m_now = next->due;
            next->due += next->interval;
            const auto keepAlive = next;  // the tick may destroy its own timer
            keepAlive->onTick();
        }
        m_now = end;
        std::erase_if(m_slots, [](const auto& slot) { return slot.use_count() == 1; });
    }

    long long now() const { return m_now; }

    int activeTimers() const {
        return static_cast<int>(
            std::count_if(m_slots.begin(), m_slots.end(), [](const auto& s) { return s->active; }));
    }

  private:
    struct Slot {
        bool active = false;
        long long due = 0;
        int interval = 0;
        std::function<void()> onTick;
    };

    class FakeTimer : public Timer {
      public:
        FakeTimer(FakeClock& clock, std::shared_ptr<Slot> slot)
            : m_clock(clock), m_slot(std::move(slot)) {}
        ~FakeTimer() override { m_slot->active = false; }
        void start(int intervalMs) override {
            m_slot->interval = std::max(1, intervalMs);
            m_slot->due = m_clock.m_now + m_slot->interval;
            m_slot->active = true;
        }
        void stop() override { m_slot->active = false; }
        bool isActive() const override { return m_slot->active; }
        int interval() const override { return m_slot->interval; }

      private:
        FakeClock& m_clock;
        std::shared_ptr<Slot> m_slot;
    };

    std::vector<std::shared_ptr<Slot>> m_slots;
    long long m_now = 0;
};

}  // namespace hivora::testing
