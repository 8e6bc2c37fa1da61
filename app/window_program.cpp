#include "app/window_program.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdlib>

#include "app/hive_repair_prompt.h"
#include "app/registry_choice.h"
#include "app/startup_command.h"
#include "core/config/config_location.h"
#include "core/shell/closing.h"
#include "core/startup/startup_list.h"
#include "gui/pages/page_live_state.h"
#include "gui/qt_timer_service.h"
#include "gui/startup_frame.h"
#include "gui/window_helpers.h"

namespace hivora {
namespace {

constexpr bool kOnWindows =
#ifdef _WIN32
    true;
#else
    false;
#endif

const std::string kNoJournalPrompt = "无法打开操作记录，本次的修改将不能撤销。\r\n";

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// An error box in Chinese, before or over the window.
void showError(DialogServices& dialogs, const std::string& message) {
    dialogs.ShowMessageBox(message, kMbOk + kMbIconError, "Hivora");
}

}  // namespace

ProgramPlaces ProgramPlaces::fromEnvironment() {
    ProgramPlaces places;
    places.xdgConfigHome = environment("XDG_CONFIG_HOME");
    places.home = environment("HOME");
    places.programFolder =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    places.wineInstalled = !QStandardPaths::findExecutable(QStringLiteral("wineboot")).isEmpty();
    return places;
}

WindowProgram::WindowProgram(const Options& options, QtDialogServices& dialogs,
                             const ProgramPlaces& places)
    : m_options(options),
      m_dialogs(dialogs),
      m_storeFolder(hivora::storeFolder(options)),
      m_registry([options] { return chooseRegistry(options); }) {
    // "config.ini" is read before the window shows, in the code page the store will use:
    // Windows' own, elsewhere the one given on the command line, as for the store.
    auto codec = makeAnsiCodec(kOnWindows || options.codePage == 0 ? systemAnsiCodePage()
                                                                   : options.codePage);
    if (!codec) {
        showError(dialogs, codec.status().message());
        return;
    }
    m_codec = std::move(codec).value();

    // The layer converts texts with the store's code page; it touches the store only when used.
    m_layer = std::make_unique<RegInfoGetSet>(m_registry, *m_codec);
    m_framework = std::make_unique<TweakFramework>(dialogs);
    m_profiles = makeProfileFiles();
    m_ini = std::make_unique<IniAccess>(*m_profiles, *m_codec);
    const std::optional<std::string> configFolder =
        hivora::configFolder({kOnWindows, places.programFolder, places.xdgConfigHome, places.home});
    RestartTarget restartTarget;
    restartTarget.windows = kOnWindows;
    restartTarget.winePrefix = options.storeDirectory;
    restartTarget.wineInstalled = places.wineInstalled;

    // The change journal of this store: every action of the window is recorded before its save,
    // so that it can be undone. Without a place for it the program still works, unrecorded. It is
    // read on another thread from the first paint on: a long journal never delays the window,
    // and whatever needs it waits for the read.
    auto session = openJournalSession(kOnWindows ? std::string("Windows 注册表") : m_storeFolder,
                                      JournalLoading::Later);
    if (session) {
        m_journal = std::move(session).value();
    } else {
        showError(dialogs, kNoJournalPrompt + session.status().message());
    }
    ActionRecorder* recorder = m_journal ? m_journal->recorder.get() : nullptr;

    // The pages' rows write through the same layer, with the platform's services for the store
    // (paths, system folder, broadcast); the dialogs start in a prefix's drive_c.
    m_platform = platformServicesFor(options);
#ifndef _WIN32
    // An installed Windows keeps the logon password as an LSA secret no one can write from here.
    if (!options.windowsRoot.empty()) m_platform.secrets = makeOfflineLogonSecretStore();
#endif
    m_catalogue.reset(
        new CatalogueServices{*m_layer, *m_framework, *m_platform.files, *m_platform.refresher,
                              m_platform.paths.get(), m_platform.systemDirectory.get(),
                              m_platform.broadcaster.get(), m_platform.secrets.get(), recorder});
    m_pageServices.reset(new PageServices{*m_catalogue});
    dialogs.setStartFolder(dialogStartFolder(options.storeDirectory));

    m_window = std::make_unique<MainWindow>(MainWindowServices{
        dialogs, *m_framework, QtTimerService::shared(), QtPointerService::shared(), m_ini.get(),
        configFolder ? configFilePath(*configFolder) : std::string(),
        restartCommandFor(restartTarget), [this] { (void)m_registry.flush(); }, m_layer.get(),
        journal(), m_codec.get(), recorder});
    if (m_window->startupFrame() != nullptr) {
        StartupList& startup = m_window->startupFrame()->list();
        startup.setObserver(recorder);
        startup.setMachine(startupMachineFor(options, m_platform));
    }
    // Which installation and which user the window works on.
    if (const std::string label = windowsInstallationLabel(options); !label.empty()) {
        m_window->setWindowTitle(m_window->windowTitle() + QStringLiteral(" — ") +
                                 QString::fromStdString(label));
    }
    // The window fills the page it opens on before its first paint and the others right after.
    m_window->setPageFiller(
        [this](int index, QWidget* page) { buildPage(index, page, *m_pageServices); });

    // The rows' live state is read once the store is open (reading would open it early); from
    // then on again on each page shown, after each button's action and on changes from outside.
    m_live = std::make_unique<LiveStateController>(*m_layer, QtTimerService::shared());
    QObject::connect(m_window.get(), &MainWindow::pageShown, m_live.get(),
                     &LiveStateController::refresh);
    QObject::connect(m_window.get(), &MainWindow::undoFinished, m_live.get(),
                     &LiveStateController::refresh);
    if (m_journal) {
        ChangeJournal* changes = m_journal->journal.get();
        QObject::connect(m_window.get(), &MainWindow::firstPainted, m_window.get(),
                         [changes] { changes->startLoading(); });
    }
    QObject::connect(m_window.get(), &MainWindow::pagesFilled, m_window.get(),
                     [this] { whenPagesFilled(); });
}

WindowProgram::~WindowProgram() = default;

ChangeJournal* WindowProgram::journal() const {
    return m_journal ? m_journal->journal.get() : nullptr;
}

bool WindowProgram::show() {
    // A bad "config.ini" ends the program here, after its warning, before the window shows.
    if (!ready() || !m_window->Form_Load()) return false;
    m_dialogs.setOwner(m_window.get());
    return true;
}

// Right after the first paint and the filling of the other pages, before the startup list reads
// it: a store that cannot be opened ends the program with the reason, as it always has, only now
// the window was seen. Then the hives with unreadable lines are offered for repair and the logon
// previews read. Last, the journal's read is waited for: a journal that cannot be read is told
// about and the actions go unrecorded, as when it has no place.
void WindowProgram::whenPagesFilled() {
    const Status opened = m_registry.open();
    if (!opened.isOk()) {
        showError(m_dialogs, "无法打开注册表。\r\n" + opened.message());
        QCoreApplication::exit(1);
        return;
    }
    // Hives Windows has not finished writing, a hibernated or read-only volume: shown, readable,
    // never written.
    if (const std::string note = m_registry.note(); !note.empty())
        m_dialogs.ShowMessageBox(note, kMbOk + kMbIconWarning, "Hivora");
    offerHiveRepairs(m_storeFolder, m_dialogs);
    showLogonAppearance(m_window->page(0), *m_pageServices);
    // The rows are judged against the Windows the edited registry names (a prefix set to XP is
    // XP, whatever the host); read before the marks are put on, and again at each refresh of
    // the live state, which follows the store. The private store names none: nothing is marked.
    QObject::connect(m_live.get(), &LiveStateController::windowsGenerationChanged, m_window.get(),
                     [this](WindowsGeneration generation) {
                         m_catalogue->windowsGeneration = generation;
                         markLogonAppearance(m_window->page(0), generation);
                     });
    m_live->followWindowsVersion();
    for (int i = 0; i < kPageCount; ++i) (void)attachLiveState(i, m_window->page(i), *m_live);
    if (kOnWindows)
        m_live->watchRegistryKeys();
    else
        m_live->watchStoreFolder(QString::fromStdString(m_storeFolder));
    if (!m_journal) return;
    if (const Status read = m_journal->journal->finishLoading(); !read.isOk()) {
        m_catalogue->observer = nullptr;
        if (m_window->startupFrame() != nullptr)
            m_window->startupFrame()->list().setObserver(nullptr);
        showError(m_dialogs, kNoJournalPrompt + journalUnreadable(read).message());
    }
}

}  // namespace hivora
