// Hivora: options, the registry store, the window.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/font_warmup.h"
#include "app/hive_repair_prompt.h"
#include "app/journal_command.h"
#include "app/lazy_registry.h"
#include "app/options.h"
#include "app/registry_choice.h"
#include "app/repair_command.h"
#include "app/screenshots.h"
#include "app/status_command.h"
#include "core/catalogue/tweak_framework.h"
#include "core/config/color_config.h"
#include "core/config/config_location.h"
#include "core/config/ini_access.h"
#include "core/dialog_services.h"
#include "core/journal/journal_session.h"
#include "core/registry/reg_info_get_set.h"
#include "core/shell/closing.h"
#include "core/startup/startup_list.h"
#include "gui/live_state_controller.h"
#include "gui/main_window.h"
#include "gui/pages/page_builder.h"
#include "gui/pages/page_live_state.h"
#include "gui/qt_dialog_services.h"
#include "gui/qt_timer_service.h"
#include "gui/startup_frame.h"
#include "gui/window_helpers.h"
#include "platform/ansi_codec.h"
#include "platform/platform_services.h"
#include "platform/profile_files.h"
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

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

constexpr bool kOnWindows =
#ifdef _WIN32
    true;
#else
    false;
#endif

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

const std::string kNoJournalPrompt = "无法打开操作记录，本次的修改将不能撤销。\r\n";

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
    if (parsed.options.printStatus) return hivora::runStatusCommand(parsed.options);
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

    // What can be known without reading the registry is checked before the window opens: a
    // prefix in Wine's use, a hive file that cannot be read. Nothing has been written.
    if (const hivora::Status usable = hivora::checkStoreUsable(parsed.options); !usable.isOk()) {
        showError(dialogs, "无法打开注册表。\r\n" + usable.message());
        return 1;
    }
    // The store is opened on first use, which is after the window's first paint.
    hivora::LazyRegistry registry([&parsed] { return hivora::chooseRegistry(parsed.options); });
    // "config.ini" is read before the window shows, in the code page the store will use.
    // Windows uses its own code page; elsewhere the one given on the command line, as the store.
    auto iniCodec = hivora::makeAnsiCodec(kOnWindows || parsed.options.codePage == 0
                                              ? hivora::systemAnsiCodePage()
                                              : parsed.options.codePage);
    if (!iniCodec) {
        showError(dialogs, iniCodec.status().message());
        return 1;
    }

    // The layer converts texts with the store's code page; it touches the store only when used.
    hivora::RegInfoGetSet layer(registry, *iniCodec.value());
    hivora::TweakFramework framework(dialogs);
    const auto profiles = hivora::makeProfileFiles();
    hivora::IniAccess ini(*profiles, *iniCodec.value());

    const std::optional<std::string> configFolder = hivora::configFolder(
        {kOnWindows, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString(),
         environment("XDG_CONFIG_HOME"), environment("HOME")});
    hivora::RestartTarget restartTarget;
    restartTarget.windows = kOnWindows;
    restartTarget.winePrefix = parsed.options.storeDirectory;
    restartTarget.wineInstalled =
        !QStandardPaths::findExecutable(QStringLiteral("wineboot")).isEmpty();

    // The change journal of this store: every action of the window is recorded before its save,
    // so that it can be undone. Without a place for it the program still works, unrecorded. It is
    // read on another thread from the first paint on: a long journal never delays the window,
    // and whatever needs it waits for the read.
    std::optional<hivora::JournalSession> journal;
    {
        auto session = hivora::openJournalSession(
            kOnWindows ? std::string("Windows 注册表") : hivora::storeFolder(parsed.options),
            hivora::JournalLoading::Later);
        if (session) {
            journal = std::move(session).value();
        } else {
            showError(dialogs, kNoJournalPrompt + session.status().message());
        }
    }

    hivora::MainWindow window(
        {dialogs, framework, hivora::QtTimerService::shared(), hivora::QtPointerService::shared(),
         &ini, configFolder ? hivora::configFilePath(*configFolder) : std::string(),
         hivora::restartCommandFor(restartTarget), [&registry] { (void)registry.flush(); }, &layer,
         journal ? journal->journal.get() : nullptr, iniCodec.value().get()});
    hivora::ActionRecorder* recorder = journal ? journal->recorder.get() : nullptr;
    if (window.startupFrame() != nullptr) window.startupFrame()->list().setObserver(recorder);
    // The pages' rows write through the same layer, with the platform's services for the store
    // (paths, system folder, broadcast); the dialogs start in a prefix's drive_c. The window
    // fills the page it opens on before its first paint and the others right after.
    const hivora::PlatformServices platform =
        hivora::makePlatformServices(parsed.options.storeDirectory);
    hivora::CatalogueServices catalogue{layer,
                                        framework,
                                        *platform.files,
                                        *platform.refresher,
                                        platform.paths.get(),
                                        platform.systemDirectory.get(),
                                        platform.broadcaster.get(),
                                        platform.secrets.get(),
                                        recorder};
    hivora::PageServices pageServices{catalogue};
    dialogs.setStartFolder(hivora::dialogStartFolder(parsed.options.storeDirectory));
    window.setPageFiller([&pageServices](int index, QWidget* page) {
        hivora::buildPage(index, page, pageServices);
    });

    // The rows' live state is read once the store is open (reading would open it early); from
    // then on again on each page shown, after each button's action and on changes from outside.
    hivora::LiveStateController live(layer, hivora::QtTimerService::shared());
    QObject::connect(&window, &hivora::MainWindow::pageShown, &live,
                     &hivora::LiveStateController::refresh);
    QObject::connect(&window, &hivora::MainWindow::undoFinished, &live,
                     &hivora::LiveStateController::refresh);

    // A bad "config.ini" ends the program here, after its warning, before the window shows. The
    // page the window opens on measures its captions from here on.
    fonts.wait();
    if (!window.Form_Load()) return 1;
    dialogs.setOwner(&window);
    hivora::arrangeScreenshotsOrQuit(window);
    if (journal) {
        QObject::connect(&window, &hivora::MainWindow::firstPainted, &window,
                         [&journal] { journal->journal->startLoading(); });
    }
    // Right after the first paint and the filling of the other pages, before the startup list
    // reads it: a store that cannot be opened ends the program with the reason, as it always
    // has, only now the window was seen.
    // Then the hives with unreadable lines are offered for repair and the logon previews read.
    // Last, the journal's read is waited for: a journal that cannot be read is told about and
    // the actions go unrecorded, as when it has no place.
    QObject::connect(
        &window, &hivora::MainWindow::pagesFilled, &window,
        [&registry, &window, &dialogs, &pageServices, &parsed, &live, &journal, &catalogue] {
            const hivora::Status opened = registry.open();
            if (opened.isOk()) {
                hivora::offerHiveRepairs(hivora::storeFolder(parsed.options), dialogs);
                hivora::showLogonAppearance(window.page(0), pageServices);
                for (int i = 0; i < 5; ++i) (void)hivora::attachLiveState(i, window.page(i), live);
                if (kOnWindows)
                    live.watchRegistryKeys();
                else
                    live.watchStoreFolder(
                        QString::fromStdString(hivora::storeFolder(parsed.options)));
                if (!journal) return;
                if (const hivora::Status read = journal->journal->finishLoading(); !read.isOk()) {
                    catalogue.observer = nullptr;
                    if (window.startupFrame() != nullptr)
                        window.startupFrame()->list().setObserver(nullptr);
                    showError(dialogs,
                              kNoJournalPrompt + hivora::journalUnreadable(read).message());
                }
                return;
            }
            showError(dialogs, "无法打开注册表。\r\n" + opened.message());
            QCoreApplication::exit(1);
        });
    return app.exec();
}
