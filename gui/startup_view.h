#pragma once
// The startup list's view "Picture_PowerStartBackgound": a clipping window onto the content
// "Picture_PowerStart", which is as large as all the rows together. Only the rows in sight have
// widgets: a small pool of check box, name label and data label, each slot serving the rows
// k = slot (mod pool size), so a row keeps its widgets while it stays in sight and a scroll step
// re-binds only the rows that come into sight.

#include <QWidget>
#include <vector>

#include "core/startup/startup_layout.h"

class QCheckBox;
class QLabel;

namespace hivora {

class StartupList;

class StartupView : public QWidget {
    Q_OBJECT

  public:
    // `list` must outlive the view. The view takes its full size and an empty content.
    StartupView(StartupList& list, QWidget* parent);

    // The empty view: full size, content 0 x 0 at the top left, no row shown.
    void reset();
    // Measures every row's labels, lays the list out (content size, data column, which bars are
    // needed, the view's size), puts the content at the top left and shows the rows in sight.
    const StartupViewLayout& layOut();
    const StartupViewLayout& layout() const { return m_layout; }

    // Moves the content so that its left (top) edge lies at `twips` from the view's; the rows
    // that come into sight get their widgets.
    void setContentLeft(double twips);
    void setContentTop(double twips);

    // The rows in sight show their check marks as the list holds them now.
    void syncChecks();
    // The rows in sight show again what the list holds for them (after a switch in place).
    void rebindRowsInSight();

    // Row widgets in existence (check box, name and data label count as one row).
    int rowWidgetCount() const { return static_cast<int>(m_slots.size()); }

  signals:
    // The user asked for the context menu of row `row` (< the list's size) at `globalPos`.
    void rowMenuRequested(int row, QPoint globalPos);

  protected:
    // A right click (or the menu key) over a row asks for its menu; elsewhere nothing happens.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    struct Slot {
        QCheckBox* check = nullptr;
        QLabel* name = nullptr;
        QLabel* data = nullptr;
        int row = -1;  // the row it shows, -1 when hidden
    };

    Slot& slotFor(int row) { return m_slots[static_cast<std::size_t>(row) % m_slots.size()]; }
    void hideSlot(Slot& slot);
    void bind(Slot& slot, int row);
    // Binds the rows now in sight and hides the slots of rows that left it.
    void placeRows();
    QLabel* makeLabel();

    StartupList& m_list;
    QWidget* m_content = nullptr;
    std::vector<Slot> m_slots;
    StartupViewLayout m_layout;
    int m_contentTop = 0;  // twips, 0 or below
    int m_contentLeft = 0;
};

}  // namespace hivora
