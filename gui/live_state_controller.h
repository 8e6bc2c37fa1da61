#pragma once
// Shows the live state of the settings rows on the pages and keeps it true.
//
// The pages register their rows once, when they build them:
//     controller.attachStateMark(captionLabel, CataloguePage::Desktop, 3);
//     controller.attachPlaceholder(textBox, page, row);   // rows with a text box
// and call refresh(page) when the page is shown and refresh() after every row action and undo.
// When the store is a folder of registry files, watchStoreFolder() makes changes by other programs
// show by themselves, 200 ms after their last file event.

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
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
    // `box` shows the row's current value greyed while it is empty (its placeholder); typing is
    // unaffected. Read at once. By row: the data of the first value of the row that is present;
    // by value: that value's data (for boxes that feed one of several values of a button).
    void attachPlaceholder(QLineEdit* box, CataloguePage page, int row);
    void attachPlaceholder(QLineEdit* box, CataloguePage page, RegKey root, const std::string& key,
                           const std::string& valueName);

    // Reads every registered row again; with a page, only that page's rows.
    void refresh();
    void refresh(CataloguePage page);

    // Follows changes to the registry files in `folder` (see StoreWatcher).
    void watchStoreFolder(const QString& folder);
    // On Windows: follows changes to the keys the rows read (platform/registry_change_watch.h),
    // debounced as the files are. Elsewhere it does nothing.
    void watchRegistryKeys();

  signals:
    // After each refresh, with the number of rows read.
    void refreshed(int rows);

  private:
    struct Attached {
        CataloguePage page;
        int row;  // -1: a single value, `value`
        QPointer<StateMark> mark;
        QPointer<QLineEdit> box;
        PlaceReading value{};
    };
    void show(const Attached& attached);
    void refreshWhere(std::optional<CataloguePage> page);

    LiveStateReader m_reader;
    TimerService& m_timers;
    std::vector<Attached> m_attached;
    std::unique_ptr<StoreWatcher> m_watcher;
    std::unique_ptr<RegistryChangeWatch> m_keyWatch;
    std::unique_ptr<ChangeDebouncer> m_keyDebouncer;
    // Declared after the watch so that they stop waiting before its events are closed.
    std::vector<std::unique_ptr<QObject>> m_keyNotifiers;
};

}  // namespace hivora
