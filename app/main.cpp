// Hivora: options, the registry store, the window.

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/font_warmup.h"
#include "app/export_command.h"
#include "app/journal_command.h"
#include "app/options.h"
#include "app/registry_choice.h"
#include "app/repair_command.h"
#include "app/screenshots.h"
#include "app/startup_command.h"
#include "app/status_command.h"
#include "app/window_program.h"
#include "core/dialog_services.h"
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

// The window's captions are real text in the same CJK font as the faces.
constexpr char kInterfaceFamily[] = "Noto Sans CJK SC";

void useInterfaceFont(QApplication& app) {
    // Asking for the family by name costs nothing when it is missing (Qt falls back to the
    // default family); listing the installed families first would load the whole font database.
    QFont font(QString::fromLatin1(kInterfaceFamily));
    font.setPointSize(9);
    app.setFont(font);
}

// Qt's own dialogs (file, folder, colour) in Chinese, like the rest of the program.
void useChineseQtTexts(QApplication& app, QTranslator& translator) {
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

// An error box in Chinese, before or over the window.
void showError(hivora::DialogServices& dialogs, const std::string& message) {
    dialogs.ShowMessageBox(message, hivora::kMbOk + hivora::kMbIconError, "Hivora");
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
    if (!parsed.options.repairHive.empty())
        return hivora::runRepairCommand(parsed.options.repairHive);
    if (hivora::isJournalCommand(parsed.options)) return hivora::runJournalCommand(parsed.options);
    if (hivora::isExportCommand(parsed.options)) return hivora::runExportCommand(parsed.options);
    if (parsed.options.printStatus) return hivora::runStatusCommand(parsed.options);
    if (hivora::isStartupCommand(parsed.options)) return hivora::runStartupCommand(parsed.options);
    if (!displayAvailable()) {
        std::fputs(
            "Hivora 需要图形桌面才能运行：没有找到显示器（DISPLAY / WAYLAND_DISPLAY 均未设置）。\n"
            "Hivora needs a graphical desktop: no display was found.\n",
            stderr);
        return 1;
    }

    QApplication app(argc, argv);
    // The font database loads on another core while the window is built (see FontWarmup).
    hivora::FontWarmup fonts(QString::fromLatin1(kInterfaceFamily));
    useInterfaceFont(app);
    QTranslator qtChinese;
    useChineseQtTexts(app, qtChinese);
    const auto launcher = hivora::makeCommandLauncher();
    hivora::QtDialogServices dialogs(nullptr, *launcher);

    // An installed Windows with several users and none named: the window asks whose settings it
    // works on (the command line lists them and stops instead).
    hivora::Options options = parsed.options;
    if (!options.windowsRoot.empty() && options.windowsUser.empty()) {
        const std::vector<std::string> users = hivora::windowsUserNames(options);
        if (users.size() > 1) {
            const int chosen = dialogs.ShowItemChoice(
                "这个 Windows 有多个用户。请选择要修改其设置（HKEY_CURRENT_USER）的用户：", users,
                "选择用户");
            if (chosen < 0) return 0;
            options.windowsUser = users[static_cast<std::size_t>(chosen)];
        }
    }
    // What can be known without reading the registry is checked before the window opens: a
    // prefix in Wine's use, a hive file that cannot be read. Nothing has been written.
    if (const hivora::Status usable = hivora::checkStoreUsable(options); !usable.isOk()) {
        showError(dialogs, "无法打开注册表。\r\n" + usable.message());
        return 1;
    }
    // The window and all it works with; the store is opened on first use, after the window's
    // first paint.
    hivora::WindowProgram program(options, dialogs);
    if (!program.ready()) return 1;
    // A bad "config.ini" ends the program at show(), after its warning, before the window
    // shows. The page the window opens on measures its captions from there on.
    fonts.wait();
    if (!program.show()) return 1;
    hivora::arrangeScreenshotsOrQuit(program.window());
    return app.exec();
}
