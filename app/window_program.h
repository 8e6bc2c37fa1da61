#pragma once
// The window and everything it works with, put together as the program runs it: the registry
// store opened on first use, its change journal and recorder, the layer, the pages' services,
// the live state of the rows and the watcher of the store. main() builds one over the Qt dialog
// services; the end-to-end tests build the very same one, only with a script answering the
// modal boxes, so that what they press is what a user presses.
//
//     WindowProgram program(options, dialogs);
//     if (!program.ready() || !program.show()) return 1;
//     return app.exec();

#include <memory>
#include <optional>
#include <string>

#include "app/lazy_registry.h"
#include "app/options.h"
#include "core/catalogue/row_dispatch.h"
#include "core/catalogue/tweak_framework.h"
#include "core/config/ini_access.h"
#include "core/journal/journal_session.h"
#include "core/registry/reg_info_get_set.h"
#include "gui/live_state_controller.h"
#include "gui/main_window.h"
#include "gui/pages/page_builder.h"
#include "gui/qt_dialog_services.h"
#include "platform/platform_services.h"
#include "platform/profile_files.h"

namespace hivora {

// Where the program keeps its files besides the store, read from the environment by
// fromEnvironment(); tests give their own.
struct ProgramPlaces {
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
    std::string programFolder;  // where the executable lies ("config.ini" on Windows)
    bool wineInstalled = false;  // wineboot on the PATH: a prefix's session can be restarted

    static ProgramPlaces fromEnvironment();
};

class WindowProgram {
  public:
    // Builds the window and wires it; nothing is read from the store yet (it opens after the
    // first paint). A failure that stops the program (the code page cannot be converted) is
    // shown through `dialogs` and leaves ready() false. A journal without a place is shown too,
    // and the program goes on unrecorded. `dialogs` must outlive the program.
    WindowProgram(const Options& options, QtDialogServices& dialogs,
                  const ProgramPlaces& places = ProgramPlaces::fromEnvironment());
    ~WindowProgram();
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    bool ready() const { return m_window != nullptr; }
    // The window's start-up (MainWindow::Form_Load). False when it did not come up (a bad
    // "config.ini", after its warning): the program ends with status 1.
    bool show();

    MainWindow& window() { return *m_window; }
    LazyRegistry& registry() { return m_registry; }
    // Null when the journal has no place or could not be read.
    ChangeJournal* journal() const;
    LiveStateController& liveState() { return *m_live; }
    // What the pages' rows run with (the Windows version they are judged against included).
    const CatalogueServices& catalogueServices() const { return *m_catalogue; }
    const std::string& storeFolder() const { return m_storeFolder; }

  private:
    void whenPagesFilled();

    Options m_options;
    QtDialogServices& m_dialogs;
    std::string m_storeFolder;
    LazyRegistry m_registry;
    std::unique_ptr<AnsiCodec> m_codec;
    std::unique_ptr<RegInfoGetSet> m_layer;
    std::unique_ptr<TweakFramework> m_framework;
    std::unique_ptr<ProfileFiles> m_profiles;
    std::unique_ptr<IniAccess> m_ini;
    std::optional<JournalSession> m_journal;
    PlatformServices m_platform;
    std::unique_ptr<CatalogueServices> m_catalogue;
    std::unique_ptr<PageServices> m_pageServices;
    std::unique_ptr<MainWindow> m_window;
    // After the window: its marks go before the labels they sit beside.
    std::unique_ptr<LiveStateController> m_live;
};

}  // namespace hivora
