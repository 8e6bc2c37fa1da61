// The yardstick of the start-up benchmark: the least a Qt Widgets program does to put a window
// of the main window's size on screen. It ends right after the window's first painted frame,
// writing the monotonic clock's reading then into the file HIVORA_QUIT_AFTER_FIRST_PAINT names.
//
// With --chinese-caption the window also shows one line of Chinese in the program's interface
// font: the least a window with Chinese text costs (font database, the CJK font, its glyphs).

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <cstring>
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
    if (argc > 1 && std::strcmp(argv[1], "--chinese-caption") == 0) {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSize(9);
        app.setFont(font);
        auto* caption =
            new QLabel(QStringLiteral("开机弹出的窗口：开机对话框，开机时可能会遇到"), &window);
        caption->move(24, 96);
    }
    window.show();
    return app.exec();
}
