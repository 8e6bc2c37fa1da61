#include "gui/qt_timer_service.h"

#include <QTimer>
#include <algorithm>

namespace hivora {

namespace {

class QtTimer : public Timer {
  public:
    explicit QtTimer(std::function<void()> onTick) : m_onTick(std::move(onTick)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_onTick(); });
    }
    void start(int intervalMs) override {
        m_interval = std::max(1, intervalMs);
        m_timer.start(m_interval);
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const override { return m_interval; }

  private:
    std::function<void()> m_onTick;
    QTimer m_timer;
    int m_interval = 0;
};

}  // namespace

std::unique_ptr<Timer> QtTimerService::createTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

QtTimerService& QtTimerService::shared() {
    static QtTimerService service;
    return service;
}

}  // namespace hivora
