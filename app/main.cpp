// Hivora: options, the registry store, the window.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/registry_choice.h"
#include "core/dialog_services.h"
#include "gui/main_window.h"
#include "gui/qt_dialog_services.h"
#include "platform/system_services.h"

namespace {

// Qt aborts when it cannot reach a display; say so plainly instead.
bool displayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const hivora::ParsedOptions parsed = hivora::parseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s\n%s", parsed.error.c_str(), hivora::kUsageText);
        return 2;
    }
    if (parsed.options.showHelp) {
        std::fputs(hivora::kUsageText, stdout);
        return 0;
    }
    if (parsed.options.showVersion) {
        std::fputs(hivora::kVersionText, stdout);
        return 0;
    }
    if (!displayAvailable()) {
        std::fputs(
            "Hivora 需要图形桌面才能运行：没有找到显示器（DISPLAY / WAYLAND_DISPLAY 均未设置）。\n"
            "Hivora needs a graphical desktop: no display was found.\n",
            stderr);
        return 1;
    }

    QApplication app(argc, argv);
    // Qt's own dialogs (file, folder, colour) in Chinese, like the rest of the program.
    QTranslator qtChinese;
    if (qtChinese.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtChinese);
    }
    auto launcher = hivora::makeCommandLauncher();
    hivora::QtDialogServices dialogs(nullptr, *launcher);

    // A store that cannot be used is reported before the window opens; nothing has been written.
    auto choice = hivora::chooseRegistry(parsed.options);
    if (!choice) {
        dialogs.ShowMessageBox("无法打开注册表。\r\n" + choice.status().message(),
                               hivora::kMbOk + hivora::kMbIconError, "Hivora");
        return 1;
    }
    hivora::MainWindow window(QString::fromStdString(choice.value().description));
    window.show();
    return app.exec();
}
