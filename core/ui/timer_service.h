#pragma once
// User-interface timers behind a small interface, so that controls can be driven by the platform's
// timers in the program and by a fake clock in tests. Every tick runs on the user-interface thread,
// one at a time, like any other event.

#include <functional>
#include <memory>

namespace hivora {

// One timer. Created stopped; while running it calls its tick callback every interval.
class Timer {
  public:
    virtual ~Timer() = default;

    // (Re)starts the timer: the first tick comes `intervalMs` milliseconds from now and the next
    // ones every `intervalMs` after that. An interval below 1 is taken as 1.
    virtual void start(int intervalMs) = 0;
    // Stops the timer; no tick follows until the next start(). Stopping a stopped timer does
    // nothing. A tick may stop (or restart) its own timer.
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The interval of the last start(), 0 before the first.
    virtual int interval() const = 0;
};

class TimerService {
  public:
    virtual ~TimerService() = default;

    // A new, stopped timer that calls `onTick` on each tick. The callback must stay valid for the
    // timer's lifetime; destroying the timer stops it.
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTick) = 0;
};

}  // namespace hivora
