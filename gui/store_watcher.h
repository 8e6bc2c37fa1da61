#pragma once
// Watches the folder of registry files the program works on, so that changes made by another
// program (Wine, a script, a second copy of this program) show at once. A burst of changes is
// reported once, kStoreChangeSettleMs after its last file event.

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/livestate/change_debounce.h"
#include "core/ui/timer_service.h"

namespace hivora {

class StoreWatcher : public QObject {
    Q_OBJECT
  public:
    // Watches `folder` and its hive files (system.reg, user.reg, userdef.reg, whichever exist or
    // appear later). A folder that does not exist yet is followed from its nearest existing
    // ancestor until it appears. `onChanged` runs on the user-interface thread after each settled burst.
    StoreWatcher(const QString& folder, TimerService& timers, std::function<void()> onChanged,
                 QObject* parent = nullptr);

    // The paths under watch, and whether a burst waits to settle; for tests.
    QStringList watchedPaths() const;
    bool changePending() const { return m_debouncer.pending(); }
    // Adds the folder and the hive files that exist now and are not watched: a folder made by the
    // first save, a file another program made or replaced by a rename (which drops it from the
    // watch). Runs after every file event; call it after the program's own saves too.
    void catchUp();

  private:
    void changed();

    QString m_folder;
    QString m_ancestor;  // watched while m_folder does not exist
    QFileSystemWatcher m_watcher;
    ChangeDebouncer m_debouncer;
};

}  // namespace hivora
