#pragma once
// The font database (on Linux: fontconfig's configuration parsed, every installed font listed
// and registered with Qt) is the largest single cost before the window's first frame, and the
// window needs it only when it measures its first caption. FontWarmup loads it on another
// thread, so that it runs beside the construction of the window instead of before its first
// text. Qt documents QFontDatabase as safe to use from any thread.

#include <QString>
#include <thread>

namespace hivora {

class FontWarmup {
  public:
    // Starts loading the database and looking up `family`. Create it after the QApplication,
    // which must outlive it.
    explicit FontWarmup(QString family);
    // Waits for the load: the thread never outlives the object.
    ~FontWarmup();
    FontWarmup(const FontWarmup&) = delete;
    FontWarmup& operator=(const FontWarmup&) = delete;

    // Returns once the database is loaded. Call it before the first text is measured; until
    // then the user-interface thread would only wait for the same lock.
    void wait();

  private:
    std::thread m_thread;
};

}  // namespace hivora
