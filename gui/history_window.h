#pragma once
// The history window "操作记录": a modal list of the journal's entries, newest first, one line
// each (time, the row's caption, and every item changed "where：before → after"), with the
// buttons "撤销最近一次操作", "重做", "导出…" and "导入…" under it. The entries selected (at first
// every action not undone) are what "导出…" writes out. Undo, redo, export and import belong to
// the caller (it owns the registry layer and the dialogs); the window reads the journal again
// after each.
//
// Children, found by object name: "List_History" (a QTreeWidget, three columns: time, caption,
// changes; an undo's caption starts "撤销：", a redo's "重做：", an action undone now has
// "（已撤销）" after its caption), "Command_UndoLatest", "Command_RedoLatest", "Command_Export"
// and "Command_Import".

#include <QDialog>
#include <cstddef>
#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace hivora {

class AnsiCodec;
class ChangeJournal;

class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    // What the buttons do; any may be left empty.
    struct Actions {
        std::function<void()> undoLatest;
        std::function<void()> redoLatest;
        // With the selected entries, as indexes into the journal's entries, oldest first.
        std::function<void(const std::vector<std::size_t>&)> exportEntries;
        std::function<void()> importFile;
    };

    // `journal` and `codec` must outlive the window.
    HistoryWindow(const ChangeJournal& journal, const AnsiCodec& codec, Actions actions,
                  QWidget* parent = nullptr);

    // Fills the list from the journal again and selects every action not undone; each button is
    // enabled when there is an action to undo / to redo.
    void refresh();
    // The selected entries, as indexes into the journal's entries, oldest first.
    std::vector<std::size_t> selectedEntries() const;

    QTreeWidget* list() const { return m_list; }
    QPushButton* undoButton() const { return m_undo; }
    QPushButton* redoButton() const { return m_redo; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* importButton() const { return m_import; }

  private:
    const ChangeJournal& m_journal;
    const AnsiCodec& m_codec;
    Actions m_actions;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_undo = nullptr;
    QPushButton* m_redo = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_import = nullptr;
};

}  // namespace hivora
