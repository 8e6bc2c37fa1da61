#include "gui/history_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>

#include "core/export/export_changes.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"

namespace hivora {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistoryWindow::HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec, Actions actions,
                             QWidget* parent)
    : QDialog(parent), m_journal(journal), m_codec(codec), m_actions(std::move(actions)) {
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
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    // Each button runs its action, then the list shows the journal as it is now.
    const auto button = [this](const char* text, const char* name, std::function<void()> run) {
        auto* pressed = new QPushButton(QString::fromUtf8(text), this);
        pressed->setObjectName(QLatin1String(name));
        pressed->setAutoDefault(false);
        connect(pressed, &QPushButton::clicked, this, [this, run] {
            if (run) run();
            refresh();
        });
        return pressed;
    };
    m_undo = button("撤销最近一次操作", "Command_UndoLatest", m_actions.undoLatest);
    m_redo = button("重做", "Command_RedoLatest", m_actions.redoLatest);
    m_export = button("导出…", "Command_Export", [this] {
        if (m_actions.exportEntries) m_actions.exportEntries(selectedEntries());
    });
    m_import = button("导入…", "Command_Import", m_actions.importFile);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_export);
    buttons->addWidget(m_import);
    buttons->addStretch();
    buttons->addWidget(m_undo);
    buttons->addWidget(m_redo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    refresh();
}

void HistoryWindow::refresh() {
    m_list->clear();
    for (const HistoryRow& row : historyRows(m_journal.entries(), m_codec)) {
        std::string changes;
        for (const std::string& change : row.changes) {
            if (!changes.empty()) changes += "\n";
            changes += change;
        }
        std::string caption = row.caption;
        if (row.undone) caption += "（已撤销）";
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, fromUtf8(formatLocalTime(row.time)));
        item->setText(1, fromUtf8(caption));
        item->setText(2, fromUtf8(changes));
    }
    // Newest first: entry i of the journal is row count - 1 - i.
    const int count = m_list->topLevelItemCount();
    for (const std::size_t index : entriesNotUndone(m_journal.entries()))
        if (QTreeWidgetItem* item = m_list->topLevelItem(count - 1 - static_cast<int>(index)))
            item->setSelected(true);
    const UndoChain chain = walkUndoChain(m_journal.entries());
    m_undo->setEnabled(chain.nextUndo.has_value());
    m_redo->setEnabled(chain.nextRedo.has_value());
    m_export->setEnabled(count > 0);
}

std::vector<std::size_t> HistoryWindow::selectedEntries() const {
    std::vector<std::size_t> chosen;
    const int count = m_list->topLevelItemCount();
    for (int row = count - 1; row >= 0; --row)
        if (m_list->topLevelItem(row)->isSelected())
            chosen.push_back(static_cast<std::size_t>(count - 1 - row));
    return chosen;
}

}  // namespace hivora
