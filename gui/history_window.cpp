#include "gui/history_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>

#include "core/journal/change_journal.h"
#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"

namespace hivora {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HistoryWindow::HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec,
                             std::function<void()> undoLatest, std::function<void()> redoLatest,
                             QWidget* parent)
    : QDialog(parent),
      m_journal(journal),
      m_codec(codec),
      m_undoLatest(std::move(undoLatest)),
      m_redoLatest(std::move(redoLatest)) {
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
    m_redo = new QPushButton(QStringLiteral("重做"), this);
    m_redo->setObjectName(QStringLiteral("Command_RedoLatest"));
    m_redo->setAutoDefault(false);
    connect(m_redo, &QPushButton::clicked, this, [this] {
        if (m_redoLatest) m_redoLatest();
        refresh();
    });

    auto* buttons = new QHBoxLayout;
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
    const UndoChain chain = walkUndoChain(m_journal.entries());
    m_undo->setEnabled(chain.nextUndo.has_value());
    m_redo->setEnabled(chain.nextRedo.has_value());
}

}  // namespace hivora
