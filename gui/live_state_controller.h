#pragma once
// Shows the live state of the settings rows on the pages and keeps it true.
//
// The pages register their rows once, when they build them:
//     controller.attachStateMark(captionLabel, CataloguePage::Desktop, 3);
//     controller.attachStateMark(captionLabel, TextBoxPage::SpecialFolders, 2);
//     controller.attachPlaceholder(textBox, TextBoxPage::PageAddresses, 0);
// and call refresh() when a page is shown and after every row action and undo.
// When the store is a folder of registry files, watchStoreFolder() makes changes by other programs
// show by themselves, 200 ms after their last file event.
// Once followWindowsVersion() was called (after the store is open), each refresh reads the Windows
// version the registry names first, and marks the rows without effect on it.

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/livestate/live_state.h"
#include "core/ui/timer_service.h"
#include "gui/state_mark.h"
#include "gui/store_watcher.h"
#include "platform/registry_change_watch.h"

namespace hivora {

class LiveStateController : public QObject {
    Q_OBJECT
  public:
    // Reads through `layer`; both must outlive the controller.
    LiveStateController(RegInfoGetSet& layer, TimerService& timers, QObject* parent = nullptr);
    ~LiveStateController() override;

    // A mark beside `caption` for row `row` of `page`, read at once. The mark goes with the label.
    StateMark* attachStateMark(QLabel* caption, CataloguePage page, int row);
    StateMark* attachStateMark(QLabel* caption, TextBoxPage page, int row);
    // A mark for a row given by its data, which must outlive the controller.
    StateMark* attachStateMark(QLabel* caption, const CatalogueRow& row);
    // `box` shows the row's current value greyed while it is empty (its placeholder), and the
    // row's keys and values in its tooltip; typing is unaffected. Read at once. The value shown
    // is the data of the first value of the row that is present.
    void attachPlaceholder(QLineEdit* box, TextBoxPage page, int row);

    // Reads every registered row again (a few milliseconds for all rows of all pages), and the
    // Windows version first when it is followed.
    void refresh();

    // Reads the Windows version of the registry now (detectWindowsGeneration) and again at each
    // refresh; rows already attached are shown again when it is not Unknown. Call it once the
    // store is open: the first read opens it.
    void followWindowsVersion();
    // The generation last read; Unknown before followWindowsVersion().
    WindowsGeneration windowsGeneration() const { return m_generation; }

    // Follows changes to the registry files in `folder` (see StoreWatcher).
    void watchStoreFolder(const QString& folder);
    // On Windows: follows changes to the keys the rows read (platform/registry_change_watch.h),
    // debounced as the files are. Elsewhere it does nothing.
    void watchRegistryKeys();

  signals:
    // After each refresh, with the number of rows read.
    void refreshed(int rows);
    // When a read of the version finds another generation than before (the first read included,
    // unless it finds none).
    void windowsGenerationChanged(hivora::WindowsGeneration generation);

  private:
    struct Attached {
        std::function<RowState(LiveStateReader&)> read;
        QPointer<StateMark> mark;
        QPointer<QLineEdit> box;
    };
    void show(const Attached& attached);
    void readWindowsGeneration();

    RegInfoGetSet& m_layer;
    LiveStateReader m_reader;
    bool m_followsVersion = false;
    WindowsGeneration m_generation = WindowsGeneration::Unknown;
    TimerService& m_timers;
    std::vector<Attached> m_attached;
    std::unique_ptr<StoreWatcher> m_watcher;
    std::unique_ptr<RegistryChangeWatch> m_keyWatch;
    std::unique_ptr<ChangeDebouncer> m_keyDebouncer;
    // Declared after the watch so that they stop waiting before its events are closed.
    std::vector<std::unique_ptr<QObject>> m_keyNotifiers;
};

}  // namespace hivora
