#pragma once
// The small mark beside a settings row's caption that tells whether the setting is in effect now.
// The three states differ in shape, not only in colour: a filled disc with a tick (set), an empty
// ring (not set), a ring filled on its left half (mixed). A row that has no effect on the Windows
// of the registry keeps that fill, struck through by a bar from top left to bottom right as a sign
// that forbids (the set disc loses its tick for the bar). The mark is drawn in the caption's text
// colour, the skin's font colour, so it follows the window's colour settings. Its tooltip names
// the state, whether the row takes effect there, where today's Windows keeps the setting, and
// each registry key and value of the row with its current data (see core/livestate/row_mark.h).

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "core/livestate/live_state.h"
#include "core/livestate/row_mark.h"

namespace hivora {

class StateMark : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSizePx = 13;

    explicit StateMark(QWidget* parent = nullptr);

    // Shows `state`, judged against the registry's Windows generation `current`.
    void setRowState(const RowState& state, WindowsGeneration current = WindowsGeneration::Unknown);
    void setRowMark(const RowMark& mark);
    SettingState state() const { return m_state; }
    bool noEffect() const { return m_noEffect; }
    // Draws in the text colour of `caption` (as it is at each paint) instead of its own palette's.
    void takeColoursFrom(QLabel* caption) { m_caption = caption; }

    QSize sizeHint() const override { return {kSizePx, kSizePx}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SettingState m_state = SettingState::NotSet;
    bool m_noEffect = false;
    QPointer<QLabel> m_caption;
};

// Creates a mark for the row whose caption is `caption` and keeps it beside the caption: left of
// it where the caption leaves room, otherwise just after the caption's text; it follows the
// caption's moves, resizes and visibility. The mark is a sibling of the caption (same parent) and
// is deleted with it.
StateMark* attachStateMark(QLabel* caption);

}  // namespace hivora
