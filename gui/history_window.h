#pragma once
// The history window "操作记录": a modal list of the journal's entries, newest first, one line
// each (time, the row's caption, and every item changed "where：before → after"), with the
// buttons "撤销最近一次操作" and "重做" under it. Undo and redo belong to the caller (it owns the
// registry layer and the dialogs); the window reads the journal again after each.
//
// Children, found by object name: "List_History" (a QTreeWidget, three columns: time, caption,
// changes; an undo's caption starts "撤销：", a redo's "重做：", an action undone now has
// "（已撤销）" after its caption), "Command_UndoLatest" and "Command_RedoLatest".

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
    // `journal` and `codec` must outlive the window; `undoLatest` and `redoLatest` run on the
    // buttons.
    HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec,
                  std::function<void()> undoLatest, std::function<void()> redoLatest,
                  QWidget* parent = nullptr);

    // Fills the list from the journal again; each button is enabled when there is an action to
    // undo / to redo.
    void refresh();

    QTreeWidget* list() const { return m_list; }
    QPushButton* undoButton() const { return m_undo; }
    QPushButton* redoButton() const { return m_redo; }

  private:
    const ChangeJournal& m_journal;
    const AnsiCodec& m_codec;
    std::function<void()> m_undoLatest;
    std::function<void()> m_redoLatest;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_undo = nullptr;
    QPushButton* m_redo = nullptr;
};

}  // namespace hivora
