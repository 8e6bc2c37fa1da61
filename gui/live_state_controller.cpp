#include "gui/live_state_controller.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#endif

namespace hivora {

LiveStateController::LiveStateController(RegInfoGetSet& layer, TimerService& timers,
                                         QObject* parent)
    : QObject(parent), m_reader(layer), m_timers(timers) {}

LiveStateController::~LiveStateController() = default;

StateMark* LiveStateController::attachStateMark(QLabel* caption, CataloguePage page, int row) {
    StateMark* mark = hivora::attachStateMark(caption);
    m_attached.push_back({page, row, mark, nullptr});
    show(m_attached.back());
    return mark;
}

void LiveStateController::attachPlaceholder(QLineEdit* box, CataloguePage page, int row) {
    m_attached.push_back({page, row, nullptr, box});
    show(m_attached.back());
}

void LiveStateController::attachPlaceholder(QLineEdit* box, CataloguePage page, RegKey root,
                                            const std::string& key, const std::string& valueName) {
    Attached attached{page, -1, nullptr, box};
    attached.value.root = root;
    attached.value.key = key;
    attached.value.name = valueName;
    m_attached.push_back(std::move(attached));
    show(m_attached.back());
}

void LiveStateController::refresh() {
    refreshWhere(std::nullopt);
}

void LiveStateController::refresh(CataloguePage page) {
    refreshWhere(page);
}

void LiveStateController::refreshWhere(std::optional<CataloguePage> page) {
    // Widgets deleted with their page leave their entries behind; drop them here.
    std::erase_if(m_attached, [](const Attached& a) { return !a.mark && !a.box; });
    int rows = 0;
    for (const Attached& attached : m_attached) {
        if (page && attached.page != *page) continue;
        show(attached);
        ++rows;
    }
    if (m_watcher) m_watcher->catchUp();
    emit refreshed(rows);
}

void LiveStateController::show(const Attached& attached) {
    if (attached.row < 0) {
        const PlaceReading value =
            m_reader.readValue(attached.value.root, attached.value.key, attached.value.name);
        if (attached.box) {
            attached.box->setPlaceholderText(QString::fromStdString(value.data));
            RowState single;
            single.state = value.present ? SettingState::Set : SettingState::NotSet;
            single.readings = {value};
            attached.box->setToolTip(QString::fromStdString(stateTooltip(single)));
        }
        return;
    }
    const RowState state = m_reader.readRow(attached.page, attached.row);
    if (attached.mark) attached.mark->setRowState(state);
    if (attached.box) {
        // The current data of the row's first value stands for what the box would change.
        QString current;
        for (const PlaceReading& place : state.readings) {
            if (place.present && !place.isKey) {
                current = QString::fromStdString(place.data);
                break;
            }
        }
        attached.box->setPlaceholderText(current);
        attached.box->setToolTip(QString::fromStdString(stateTooltip(state)));
    }
}

void LiveStateController::watchStoreFolder(const QString& folder) {
    m_watcher = std::make_unique<StoreWatcher>(folder, m_timers, [this] { refresh(); });
}

void LiveStateController::watchRegistryKeys() {
    m_keyWatch = makeRegistryChangeWatch(m_reader.keysOfAllRows());
    if (!m_keyWatch) return;
    m_keyDebouncer = std::make_unique<ChangeDebouncer>(m_timers, [this] { refresh(); });
#ifdef _WIN32
    for (void* handle : m_keyWatch->eventHandles()) {
        auto notifier = std::make_unique<QWinEventNotifier>(handle);
        connect(notifier.get(), &QWinEventNotifier::activated, this, [this, handle] {
            m_keyWatch->rearm(handle);
            m_keyDebouncer->notice();
        });
        m_keyNotifiers.push_back(std::move(notifier));
    }
#endif
}

}  // namespace hivora
