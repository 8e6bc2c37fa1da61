#include "gui/history_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>
#include <string>

#include "core/journal/change_journal.h"
#include "core/journal/journal_text.h"
#include "core/journal/journal_undo.h"

namespace hivora {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistoryWindow::HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec,
                             std::function<void()> undoLatest, QWidget* parent)
    : QDialog(parent), m_journal(journal), m_codec(codec), m_undoLatest(std::move(undoLatest)) {
    setObjectName(QStringLiteral("Form_History"));
    setWindowTitle(QStringLiteral("操作记录"));
    setModal(true);
    resize(720, 420);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("List_History"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("时间"), QStringLiteral("操作"), QStringLiteral("改动")});
    m_list->setRootIsDecorated(false);
    m_list->setWordWrap(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    m_undo = new QPushButton(QStringLiteral("撤销最近一次操作"), this);
    m_undo->setObjectName(QStringLiteral("Command_UndoLatest"));
    m_undo->setAutoDefault(false);
    connect(m_undo, &QPushButton::clicked, this, [this] {
        if (m_undoLatest) m_undoLatest();
        refresh();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_undo, 0, Qt::AlignRight);
    refresh();
}

void HistoryWindow::refresh() {
    m_list->clear();
    const std::vector<JournalEntry>& entries = m_journal.entries();
    std::set<std::int64_t> undone;
    for (const JournalEntry& entry : entries)
        if (entry.undoes) undone.insert(*entry.undoes);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        std::string changes;
        for (const JournalItem& item : it->items) {
            if (!item.changed()) continue;
            if (!changes.empty()) changes += "\n";
            changes += describeChange(item, m_codec);
        }
        std::string caption = it->label.caption;
        if (undone.count(it->id) != 0) caption += "（已撤销）";
        auto* row = new QTreeWidgetItem(m_list);
        row->setText(0, fromUtf8(formatLocalTime(it->time)));
        row->setText(1, fromUtf8(caption));
        row->setText(2, fromUtf8(changes));
    }
    m_undo->setEnabled(latestUndoable(m_journal) != nullptr);
}

}  // namespace hivora
