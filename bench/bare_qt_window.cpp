// The yardstick of the start-up benchmark: the least a Qt Widgets program does to put a window
// of the main window's size on screen. It ends right after the window's first painted frame,
// writing the monotonic clock's reading then into the file HIVORA_QUIT_AFTER_FIRST_PAINT names.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace {

class BareWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        if (m_painted) return;
        m_painted = true;
        QTimer::singleShot(0, qApp, [] {
            if (const char* file = std::getenv("HIVORA_QUIT_AFTER_FIRST_PAINT")) {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::ofstream(file)
                    << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
            }
            QCoreApplication::quit();
        });
    }

  private:
    bool m_painted = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareWindow window;
    window.resize(804, 577);
    window.show();
    return app.exec();
}
