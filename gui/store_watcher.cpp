#include "gui/store_watcher.h"

#include <QDir>
#include <QFileInfo>

namespace hivora {
namespace {

const char* const kHiveFiles[] = {"system.reg", "user.reg", "userdef.reg"};

}  // namespace

StoreWatcher::StoreWatcher(const QString& folder, TimerService& timers,
                           std::function<void()> onChanged, QObject* parent)
    : QObject(parent), m_folder(folder), m_debouncer(timers, std::move(onChanged)) {
    catchUp();
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { changed(); });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { changed(); });
}

QStringList StoreWatcher::watchedPaths() const {
    return m_watcher.directories() + m_watcher.files();
}

void StoreWatcher::changed() {
    catchUp();
    m_debouncer.notice();
}

void StoreWatcher::catchUp() {
    // Until the folder exists, its nearest existing ancestor is watched instead: whoever makes
    // the folder (this program's first save, or another program's) changes that ancestor.
    if (!QFileInfo(m_folder).isDir()) {
        QString ancestor = QFileInfo(m_folder).absolutePath();
        while (!QFileInfo(ancestor).isDir()) {
            const QString parent = QFileInfo(ancestor).absolutePath();
            if (parent == ancestor) break;  // the root
            ancestor = parent;
        }
        if (ancestor != m_ancestor) {
            if (!m_ancestor.isEmpty()) m_watcher.removePath(m_ancestor);
            m_ancestor = QFileInfo(ancestor).isDir() && m_watcher.addPath(ancestor) ? ancestor
                                                                                   : QString();
        }
        return;
    }
    if (!m_ancestor.isEmpty()) {
        m_watcher.removePath(m_ancestor);
        m_ancestor.clear();
    }
    if (!m_watcher.directories().contains(m_folder)) m_watcher.addPath(m_folder);
    const QStringList watched = m_watcher.files();
    for (const char* name : kHiveFiles) {
        const QString path = QDir(m_folder).filePath(QString::fromLatin1(name));
        if (!watched.contains(path) && QFileInfo::exists(path)) m_watcher.addPath(path);
    }
}

}  // namespace hivora
