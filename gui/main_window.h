#pragma once
// Form_Main: the program's one long-lived window. Borderless and rounded, with five picture tabs
// choosing one of five pages, a tip above the tabs, and five chrome buttons at the top right
// (close, minimise, About, colour, undo; a right click on undo opens the history). Its start-up
// runs in a fixed order (Form_Load) and its closing asks the user first (closeEvent). The behaviour
// of the tabs and chrome buttons lives in core/shell; this class lays them out, shows their faces
// and forwards their events.
//
// How other parts plug in:
// - Pages: page(i) is the empty panel Picture_Main(i) (0 startup and logon, 1 desktop, 2 browser,
//   3 system settings, 4 system information). Fill it before Form_Load, or give the window a
//   page filler to fill each page when it is first needed; child widgets named like
//   "Picture_Forbid(2)" that are ImageButtons are skinned by AssignSkinPictures, and frames named
//   Frame_LoginShow, Frame_PowerStart, ... take the background colour wherever they sit.
// - Start-up steps that belong to other parts come in through StartupHooks.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/config/color_config.h"
#include "core/shell/chrome_buttons.h"
#include "core/shell/main_layout.h"
#include "core/shell/tab_strip.h"

class QFrame;
class QLabel;

namespace hivora {

class ActionObserver;
class AnsiCodec;
class ChangeJournal;
class DialogServices;
class IniAccess;
class PictureBox;
class RegInfoGetSet;
class StartupFrame;
class PointerService;
class TimerService;
class TweakFramework;

// What the window needs from the program. References must outlive the window.
struct MainWindowServices {
    DialogServices& dialogs;
    TweakFramework& framework;  // NeedsRestart
    TimerService& timers;
    PointerService& pointer;
    // "config.ini" through the profile functions; `configFile` empty when there is no place for
    // it (the colours then are the defaults and are not stored).
    IniAccess* ini = nullptr;
    std::string configFile;
    // The restart command offered on closing after a change that needs one; none: the Yes answer
    // closes without restarting.
    std::optional<std::string> restartCommand;
    // Runs just before the restart command starts (the registry saves what it holds).
    std::function<void()> beforeRestart;
    // The registry access layer; with it page 0 holds the startup list (Frame_PowerStart).
    RegInfoGetSet* registryLayer = nullptr;
    // The change journal of the store and the code page its texts are shown in; with both (and
    // the layer) Ctrl+Z undoes the latest action, Ctrl+Y and Ctrl+Shift+Z redo, and Ctrl+H shows
    // the history.
    ChangeJournal* journal = nullptr;
    const AnsiCodec* codec = nullptr;
    // Records a .reg file imported from the history window, so that it can be undone; null:
    // imports go unrecorded.
    ActionObserver* recorder = nullptr;
};

// Start-up and closing steps owned by other parts; any may be left empty. The startup list of
// page 0 is the window's own: it is read and cleared at these points too, before the hooks run.
struct StartupHooks {
    std::function<void()> showLogonAppearance;  // before the window shows (logon previews)
    // After the first paint, when the startup page is selected again and when the user stays
    // after a closing question.
    std::function<void()> refreshStartupList;
    // Before the closing question.
    std::function<void()> clearStartupRows;
};

inline constexpr int kPageCount = 5;

// The ten frames of the pages, in the order they take a new colour.
inline constexpr std::array<const char*, 10> kFrameNames = {
    "Frame_LoginShow", "Frame_PowerStart", "Frame_LoginStyle", "Frame_IEPage", "Frame_IEProperty",
    "Frame_Hide",      "Frame_HideMenu",   "Frame_Forbid",     "Frame_RegTo",  "Frame_SysDir"};

class MainWindow : public QWidget, private TabStripView, private ChromeView {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The page panel Picture_Main(i), i in 0..4; nullptr otherwise.
    QWidget* page(int i) const;
    void setStartupHooks(StartupHooks hooks) { m_hooks = std::move(hooks); }
    // Creates the controls of page `index` on `page`.
    using PageFiller = std::function<void(int index, QWidget* page)>;
    // With a filler the pages are filled as they are first needed, so that the window's first
    // frame waits only for what it shows: the page on show as the window starts, the others
    // right after the first paint (before pagesFilled), and any page earlier if it is shown
    // first. A page filled late looks as if it had been filled before Form_Load: its image
    // buttons take their faces and its frames the background colour. Set it before Form_Load.
    void setPageFiller(PageFiller filler) { m_pageFiller = std::move(filler); }
    // Frame_PowerStart on page 0; nullptr when the window was given no registry layer.
    StartupFrame* startupFrame() const { return m_startupFrame; }

    // The start-up sequence: caption; colours from "config.ini" (a bad value shows the warning
    // and returns false: the window is never shown and nothing is written); faces; frame, size
    // and layout; rounded shape; frame colours; logon previews; shown. The startup list is read
    // after the window's first paint. True when the window is up.
    bool Form_Load();

    // Steps of the start-up, public so that later features can re-run them.
    bool LoadColorConfig();
    void AssignSkinPictures();
    void SetupWindowLayout();

    // The ten frames (found by name anywhere in the window) / the five pages take `color`
    // (0x00BBGGRR). Frames not built yet are skipped.
    void ApplyFrameBackColor(std::int32_t color);
    void ApplyPageBackColor(std::int32_t color);

    const ColorSettings& colors() const { return m_colors; }
    // Back_Color as the colour dialog stores it; the window's own background keeps its colour.
    void setBackColor(std::int32_t color) { m_colors.backColor = color; }
    IniAccess* ini() const { return m_services.ini; }
    const std::string& configFile() const { return m_services.configFile; }

    // The window requests of the chrome; public for the keyboard and for other features.
    void DragWindow();
    void showAboutBox();
    void showColorDialog() override;
    // Undoes the newest action of the journal not yet undone through the window's dialogs (every
    // outcome is told in a box), then reads the startup list again when page 0 is on show (else
    // only moves switched shortcuts' files to match) and emits undoFinished. Nothing happens
    // without a journal.
    void undoLatestAction();
    // Redoes the action undone last, the same way (undoFinished too).
    void redoLatestAction();
    // The modal history window "操作记录"; nothing happens without a journal.
    void showHistory();
    // The history window's "导出…": asks where to save (the ending picks .reg, PowerShell or
    // Ansible) and writes the state the entries (indexes into the journal) leave; says in a box
    // how it went.
    void exportEntries(const std::vector<std::size_t>& entries);
    // Its "导入…": asks for a .reg file and applies it as one action that undo takes back; a file
    // with bad lines is named line by line and nothing is written. Emits undoFinished after.
    void importRegistryFile();

    // For checks of the window's state.
    TabStrip& tabStrip() { return m_tabStrip; }
    ChromeButtons& chrome() { return m_chrome; }
    PictureBox* tab(int i) const { return m_tabs.at(static_cast<std::size_t>(i)); }
    PictureBox* sizeBox(int i) const { return m_sizeBoxes.at(static_cast<std::size_t>(i)); }
    QLabel* tabTip() const { return m_tip; }
    QFrame* separator() const { return m_separator; }
    // The face number each tab / chrome button shows now.
    int tabFaceShown(int i) const { return m_tabFaceNumbers.at(static_cast<std::size_t>(i)); }
    int sizeBoxFaceShown(int i) const {
        return m_sizeBoxFaceNumbers.at(static_cast<std::size_t>(i));
    }

  signals:
    // A press on the window's background started moving the window.
    void dragStarted();
    // The first frame was painted. Right after, the pages not filled yet are filled, then
    // pagesFilled is emitted, then the startup list is read.
    void firstPainted();
    // Every page is filled; the first frame is on screen and the startup list is read next.
    void pagesFilled();
    // Page `page` (0..4) was just shown; its settings may have changed while it was hidden.
    void pageShown(int page);
    // An undo or a redo ran (whatever its outcome): what the pages show may have changed.
    void undoFinished();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // What follows every undo and redo: the startup list, or its shortcuts' files, brought up to
    // date.
    void afterUndoOrRedo();
    // TabStripView
    void showTabFace(int tab, int number) override;
    void showTabTip(int tab, std::string_view caption) override;
    void hideTabTip() override;
    void setPageVisible(int page, bool visible) override;
    void refreshStartupList() override;
    WindowHandle tabWindow(int tab) const override;
    // ChromeView
    void showSizeBoxFace(int button, int number) override;
    WindowHandle sizeBoxWindow(int button) const override;
    void requestClose() override;
    void requestMinimize() override;
    void showAbout() override { showAboutBox(); }
    void requestUndo() override { undoLatestAction(); }

    void createControls();
    void LayoutSizeBoxes(const MainLayout& layout);
    void LayoutTabStrip(const MainLayout& layout);
    void LayoutSeparator(const MainLayout& layout);
    void LayoutPages(const MainLayout& layout);
    void ensurePageFilled(int page);

    MainWindowServices m_services;
    StartupHooks m_hooks;
    PageFiller m_pageFiller;
    std::array<bool, kPageCount> m_pageFilled{};
    ColorSettings m_colors;
    std::array<PictureBox*, kTabCount> m_tabs{};
    std::array<PictureBox*, kSizeBoxCount> m_sizeBoxes{};
    std::array<QWidget*, kPageCount> m_pages{};
    std::array<int, kTabCount> m_tabFaceNumbers{};
    std::array<int, kSizeBoxCount> m_sizeBoxFaceNumbers{};
    StartupFrame* m_startupFrame = nullptr;
    QLabel* m_tip = nullptr;
    QFrame* m_separator = nullptr;
    TabStrip m_tabStrip;
    ChromeButtons m_chrome;
    int m_tabTopTwips = 0;
    bool m_firstPaintSeen = false;
    bool m_loaded = false;
};

}  // namespace hivora
