#include "app/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "gui/form_about.h"
#include "gui/form_config.h"
#include "gui/main_window.h"

namespace hivora {

void arrangeScreenshotsOrQuit(MainWindow& window) {
    if (const char* stampFile = std::getenv("HIVORA_QUIT_AFTER_FIRST_PAINT")) {
        const std::string file = stampFile;
        QObject::connect(
            &window, &MainWindow::firstPainted, &window, [file] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::ofstream(file)
                    << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
                QCoreApplication::exit(0);
            });
        return;
    }
    const char* folder = std::getenv("HIVORA_SCREENSHOTS");
    if (folder == nullptr) return;
    const QString target = QString::fromLocal8Bit(folder);
    // Taken once the store is open and the rows show their state marks.
    QObject::connect(
        &window, &MainWindow::pagesFilled, &window,
        [&window, target] {
            QDir().mkpath(target);
            for (int page = 0; page < kPageCount; ++page) {
                window.tabStrip().SwitchPage(page);
                window.grab().save(QStringLiteral("%1/page%2.png").arg(target).arg(page));
            }
            window.tabStrip().SwitchPage(0);
            FormAbout about(window.colors(), &window);
            about.grab().save(QStringLiteral("%1/about.png").arg(target));
            FormConfig colors(window);
            colors.grab().save(QStringLiteral("%1/colors.png").arg(target));
            QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
}

}  // namespace hivora
