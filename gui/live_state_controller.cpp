#include "gui/live_state_controller.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#endif

namespace hivora {

LiveStateController::LiveStateController(RegInfoGetSet& layer, TimerService& timers,
                                         QObject* parent)
    : QObject(parent), m_layer(layer), m_reader(layer), m_timers(timers) {}

LiveStateController::~LiveStateController() = default;

StateMark* LiveStateController::attachStateMark(QLabel* caption, CataloguePage page, int row) {
    StateMark* mark = hivora::attachStateMark(caption);
    m_attached.push_back(
        {[page, row](LiveStateReader& r) { return r.readRow(page, row); }, mark, nullptr});
    show(m_attached.back());
    return mark;
}

StateMark* LiveStateController::attachStateMark(QLabel* caption, TextBoxPage page, int row) {
    StateMark* mark = hivora::attachStateMark(caption);
    m_attached.push_back(
        {[page, row](LiveStateReader& r) { return r.readRow(page, row); }, mark, nullptr});
    show(m_attached.back());
    return mark;
}

StateMark* LiveStateController::attachStateMark(QLabel* caption, const CatalogueRow& row) {
    StateMark* mark = hivora::attachStateMark(caption);
    m_attached.push_back({[&row](LiveStateReader& r) { return r.readRow(row); }, mark, nullptr});
    show(m_attached.back());
    return mark;
}

void LiveStateController::attachPlaceholder(QLineEdit* box, TextBoxPage page, int row) {
    m_attached.push_back(
        {[page, row](LiveStateReader& r) { return r.readRow(page, row); }, nullptr, box});
    show(m_attached.back());
}

void LiveStateController::refresh() {
    // Widgets deleted with their page leave their entries behind; drop them here.
    std::erase_if(m_attached, [](const Attached& a) { return !a.mark && !a.box; });
    // The version may change under us too (another program, an import into a prefix); it is four
    // values, read before the rows so that their marks use it.
    if (m_followsVersion) readWindowsGeneration();
    for (const Attached& attached : m_attached) show(attached);
    if (m_watcher) m_watcher->catchUp();
    emit refreshed(static_cast<int>(m_attached.size()));
}

void LiveStateController::show(const Attached& attached) {
    const RowState state = attached.read(m_reader);
    if (attached.mark) attached.mark->setRowState(state, m_generation);
    if (attached.box) {
        QString current;
        for (const PlaceReading& place : state.readings) {
            if (place.present && !place.isKey) {
                current = QString::fromStdString(place.data);
                break;
            }
        }
        attached.box->setPlaceholderText(current);
        attached.box->setToolTip(QString::fromStdString(stateTooltip(state, m_generation)));
    }
}

void LiveStateController::followWindowsVersion() {
    m_followsVersion = true;
    const WindowsGeneration before = m_generation;
    readWindowsGeneration();
    if (m_generation == before) return;
    // Rows attached already show their marks again under the version read.
    for (const Attached& attached : m_attached) show(attached);
}

void LiveStateController::readWindowsGeneration() {
    const WindowsGeneration read = detectWindowsGeneration(m_layer);
    if (read == m_generation) return;
    m_generation = read;
    emit windowsGenerationChanged(read);
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
