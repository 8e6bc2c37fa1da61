#pragma once
// The history window "操作记录": a modal list of the journal's entries, newest first, one line
// each (time, the row's caption, and every item changed "where：before → after"), with the button
// "撤销最近一次操作" under it. The undo itself belongs to the caller (it owns the registry layer
// and the dialogs); the window reads the journal again after it.
//
// Children, found by object name: "List_History" (a QTreeWidget, three columns: time, caption,
// changes; an undone entry has "（已撤销）" after its caption) and "Command_UndoLatest".

#include <QDialog>
#include <functional>

class QPushButton;
class QTreeWidget;

namespace hivora {

class AnsiCodec;
class ChangeJournal;

class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    // `journal` and `codec` must outlive the window; `undoLatest` runs on the button.
    HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec,
                  std::function<void()> undoLatest, QWidget* parent = nullptr);

    // Fills the list from the journal again; the button is enabled when an entry can be undone.
    void refresh();

    QTreeWidget* list() const { return m_list; }
    QPushButton* undoButton() const { return m_undo; }

  private:
    const ChangeJournal& m_journal;
    const AnsiCodec& m_codec;
    std::function<void()> m_undoLatest;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_undo = nullptr;
};

}  // namespace hivora
