#pragma once
// The startup items frame "Frame_PowerStart" (caption "注册表开机启动项") of page 0: the programs
// every startup place starts at logon, one row each (check box, on/off and missing marks with the
// value name, the place with the command line), in a clipping view panned by two skinned scroll
// bars, with five image buttons under it: switch off, switch on, select all, invert the
// selection, remove the checked entries. A right click on a row opens its context menu
// "Menu_PowerStartRow" (禁用/启用, or 恢复默认 on Winlogon's rows).
//
// Placing: a child of page 0 at (3840, 120) twips = (256, 8) pixels, 7575 x 4215 twips =
// 505 x 281 pixels (kStartupFrameRect). The frame gives itself that size; the host only moves it.
//
// The host calls refresh() once the main window is shown and whenever page 0 is selected from
// another page, and clear() when the window closes (it closes the Run keys the list holds open).
//
// Children, found by object name: "Picture_PowerStartBackgound" (the view),
// "Picture_PowerStart" (the content, a child of the view), "VScroll_PowerStart",
// "HScroll_PowerStart", "Picture_PowerStartSelAll", "Picture_PowerStartAntiSel",
// "Picture_PowerStartRemove", "Picture_PowerStartOff", "Picture_PowerStartOn", and for the rows in
// sight "Check_PowerStart(k)", "Label_PowerStartName(k)", "Label_PowerStartValue(k)" with k the
// row's index in the list. Only the rows in sight have widgets (about ten), re-used as the content
// scrolls; their names follow the rows they show.

#include <QFrame>
#include <QRect>
#include <memory>

#include "core/startup/startup_captions.h"
#include "gui/tarn_xp_scroll_bar.h"

class QMenu;

namespace hivora {

class RegInfoGetSet;
class TweakFramework;
class StartupList;
class StartupView;

// Where page 0 holds the frame, in pixels.
inline constexpr QRect kStartupFrameRect{256, 8, 505, 281};

class StartupFrame : public QFrame {
    Q_OBJECT

  public:
    // `layer` and `framework` must outlive the frame. `barServices` go to the two scroll bars
    // (timers, pointer, dialogs); members left null are Qt's own.
    StartupFrame(RegInfoGetSet& layer, TweakFramework& framework, QWidget* parent = nullptr,
                 ScrollBarWidgetServices barServices = {});
    ~StartupFrame() override;

    // RefreshStartupList: clears the list, reads both Run keys again (the current user's values
    // first) and lays out the view and the scroll ranges. Every check mark is cleared.
    void refresh();
    // ClearStartupRows: no rows, both bars hidden, the view at full size, and every Run key the
    // list opened closed.
    void clear();

    // A command of a row's context menu on row `row` (a row of the list), as its item does:
    // switched off or on, or Winlogon's value back to Windows' default, in one recorded action,
    // with the outcome's message.
    void runRowCommand(std::size_t row, StartupRowCommand command);

    // The list's rows and commands, for tests and the main window's checks.
    StartupList& list();
    const StartupList& list() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // The wheel anywhere over the frame scrolls the list through its bars.
    void wheelEvent(QWheelEvent* event) override;

  private:
    // The view's part of a refresh: empty it, lay out the rows the list holds, set the ranges.
    void showList();
    void hideBars();
    void selectAll();
    void invertSelection();
    void removeSelected();
    void switchOff();
    void switchOn();
    // The switch command and its outcome message (with the first failure's reason).
    void switchSelected(bool on);
    void showOutcome(const SwitchOutcome& outcome);
    // The context menu "Menu_PowerStartRow" of `row`, its items from startupRowMenu.
    void showRowMenu(int row, QPoint globalPos);

    TweakFramework& m_framework;
    std::unique_ptr<StartupList> m_list;
    StartupView* m_view = nullptr;
    TarnXPVScrollBar* m_vBar = nullptr;
    TarnXPHScrollBar* m_hBar = nullptr;
    QMenu* m_rowMenu = nullptr;
    QPoint m_wheelRemainder;  // eighths of a degree not yet turned into steps
};

}  // namespace hivora
