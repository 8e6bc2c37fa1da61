#include "gui/main_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "core/catalogue/tweak_framework.h"
#include "core/shell/closing.h"
#include "core/ui/twips.h"
#include "core/ui/window_style.h"
#include "gui/color_value.h"
#include "gui/form_about.h"
#include "gui/form_config.h"
#include "gui/image_button.h"
#include "gui/page_skins.h"
#include "gui/picture_box.h"
#include "gui/skin_faces.h"
#include "gui/startup_frame.h"
#include "gui/window_helpers.h"

namespace hivora {

namespace {

constexpr char kCaption[] = "Hivora V1.0";

void paintBackground(QWidget* widget, std::int32_t color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, qColorOf(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QRect pixelsOf(const TwipsRect& r) {
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

// A page panel: presses on its free spots stay with the page, as they would with any child
// control, so only the window's own background moves the window.
class PagePanel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
};

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent),
      m_services(std::move(services)),
      m_tabStrip(*this, m_services.timers, m_services.pointer),
      m_chrome(*this, m_services.timers, m_services.pointer) {
    setObjectName(QStringLiteral("Form_Main"));
    createControls();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::page(int i) const {
    return i >= 0 && i < kPageCount ? m_pages[static_cast<std::size_t>(i)] : nullptr;
}

void MainWindow::createControls() {
    for (int i = 0; i < kTabCount; ++i) {
        auto* tab = new PictureBox(QStringLiteral("Picture_TopToolBar(%1)").arg(i), this);
        connect(tab, &PictureBox::mouseMoved, this,
                [this, i](int buttons, QPointF) { m_tabStrip.mouseMove(i, buttons); });
        connect(tab, &PictureBox::mousePressed, this,
                [this, i](int button, QPointF) { m_tabStrip.mouseDown(i, button); });
        connect(tab, &PictureBox::mouseReleased, this, [this, i, tab](int button, QPointF at) {
            m_tabStrip.mouseUp(i, button, IsPointInControl(tab, at));
        });
        m_tabs[static_cast<std::size_t>(i)] = tab;
    }
    for (int i = 0; i < kSizeBoxCount; ++i) {
        auto* box = new PictureBox(QStringLiteral("Picture_SizeBox(%1)").arg(i), this);
        connect(box, &PictureBox::mouseMoved, this, [this, i, box](int buttons, QPointF at) {
            m_chrome.mouseMove(i, buttons, IsPointInControl(box, at));
        });
        connect(box, &PictureBox::mousePressed, this, [this, i](int button, QPointF) {
            m_chrome.mouseDown(i, button);
            // The history sits behind the undo button, a right click away.
            if (i == kSizeBoxUndo && button == kMouseRight) showHistory();
        });
        connect(box, &PictureBox::mouseReleased, this, [this, i, box](int button, QPointF at) {
            m_chrome.mouseUp(i, button, IsPointInControl(box, at));
        });
        m_sizeBoxes[static_cast<std::size_t>(i)] = box;
    }
    m_tip = new QLabel(this);
    m_tip->setObjectName(QStringLiteral("Label_TopToolBarTips"));
    m_tip->hide();
    m_separator = new QFrame(this);
    m_separator->setObjectName(QStringLiteral("Line_Separation"));
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->hide();
    for (int i = 0; i < kPageCount; ++i) {
        auto* page = new PagePanel(this);
        page->setObjectName(QStringLiteral("Picture_Main(%1)").arg(i));
        m_pages[static_cast<std::size_t>(i)] = page;
    }
    if (m_services.registryLayer != nullptr) {
        m_startupFrame =
            new StartupFrame(*m_services.registryLayer, m_services.framework, m_pages[0],
                             {&m_services.timers, &m_services.pointer, &m_services.dialogs});
        m_startupFrame->move(kStartupFrameRect.topLeft());
    }
}

bool MainWindow::Form_Load() {
    setWindowTitle(QString::fromUtf8(kCaption));
    if (!LoadColorConfig()) return false;
    AssignSkinPictures();
    SetupWindowLayout();
    SetRoundRegion(this, kMainWindowCorner, kMainWindowCorner);
    ApplyFrameBackColor(m_colors.backColor);
    if (m_hooks.showLogonAppearance) m_hooks.showLogonAppearance();
    m_loaded = true;
    show();
    return true;
}

bool MainWindow::LoadColorConfig() {
    ColorSettings colors;
    if (m_services.ini != nullptr && !m_services.configFile.empty()) {
        Result<ColorSettings> read = readColorSettings(*m_services.ini, m_services.configFile);
        if (!read) {
            (void)m_services.dialogs.ShowMessageBox(kBadConfigPrompt, kBadConfigButtons,
                                                    kBadConfigTitle);
            return false;
        }
        colors = read.value();
    }
    m_colors = colors;
    // The shared start-up values: CurrentPage 0, HoverTab and SizeBoxHover -1, no restart due.
    m_tabStrip.reset();
    m_chrome.reset();
    m_services.framework.clearNeedsRestart();
    return true;
}

void MainWindow::AssignSkinPictures() {
    m_tabStrip.reset();  // page 0 and tab 0 selected, the others hidden and normal
    m_chrome.reset();    // every chrome button resting
    skinPageButtons(this);
}

void MainWindow::SetupWindowLayout() {
    SetWindowStyleMask(this, kMainWindowStyleMask);
    paintBackground(this, m_colors.backColor);
    setFixedSize(twipsToPixels(kMainWindowWidthTwips), twipsToPixels(kMainWindowHeightTwips));

    MainLayoutInput input;
    input.innerWidth = pixelsToTwips(width());
    input.innerHeight = pixelsToTwips(height());
    input.tab0WidthBeforeBorderRemoval = pixelsToTwips(m_tabs[0]->width());
    for (int i = 0; i < kTabCount; ++i) {
        input.tabWidths[static_cast<std::size_t>(i)] =
            pixelsToTwips(m_tabs[static_cast<std::size_t>(i)]->width());
    }
    input.tabHeight = pixelsToTwips(m_tabs[0]->height());
    input.sizeBoxWidthBeforeBorderRemoval = pixelsToTwips(m_sizeBoxes[0]->width());
    for (int i = 0; i < kSizeBoxCount; ++i) {
        input.sizeBoxWidths[static_cast<std::size_t>(i)] =
            pixelsToTwips(m_sizeBoxes[static_cast<std::size_t>(i)]->width());
    }
    input.sizeBoxHeight = pixelsToTwips(m_sizeBoxes[0]->height());
    const MainLayout layout = computeMainLayout(input);
    LayoutSizeBoxes(layout);
    LayoutTabStrip(layout);
    LayoutSeparator(layout);
    LayoutPages(layout);
}

void MainWindow::LayoutSizeBoxes(const MainLayout& layout) {
    for (int i = 0; i < kSizeBoxCount; ++i) {
        PictureBox* box = m_sizeBoxes[static_cast<std::size_t>(i)];
        box->move(pixelsOf(layout.sizeBoxes[static_cast<std::size_t>(i)]).topLeft());
        SetRoundRegion(box, kSizeBoxCorner, kSizeBoxCorner);
    }
}

void MainWindow::LayoutTabStrip(const MainLayout& layout) {
    for (int i = 0; i < kTabCount; ++i) {
        PictureBox* tab = m_tabs[static_cast<std::size_t>(i)];
        tab->move(pixelsOf(layout.tabs[static_cast<std::size_t>(i)]).topLeft());
        SetRoundRegion(tab, kTabCorner, kTabCorner);
    }
    // The tip's Top follows its height in the interface font. Loading that font costs more than
    // the rest of the start-up together, so the tip is measured and placed by the same rule when
    // it is first captioned, after the first paint.
    m_tabTopTwips = layout.tabs[0].top;
    m_tip->hide();
}

void MainWindow::LayoutSeparator(const MainLayout& layout) {
    const int x1 = twipsToPixels(layout.separatorX1);
    m_separator->setGeometry(x1, twipsToPixels(layout.separatorY),
                             twipsToPixels(layout.separatorX2) - x1, 1);
    QPalette palette = m_separator->palette();
    palette.setColor(QPalette::WindowText, qColorOf(kSeparatorColor));
    m_separator->setPalette(palette);
    m_separator->hide();
}

void MainWindow::LayoutPages(const MainLayout& layout) {
    for (QWidget* page : m_pages) {
        page->setGeometry(pixelsOf(layout.page));
        SetRoundRegion(page, kPageCorner, kPageCorner);
        paintBackground(page, m_colors.backColor);
    }
}

void MainWindow::ApplyFrameBackColor(std::int32_t color) {
    for (const char* name : kFrameNames) {
        if (auto* frame = findChild<QWidget*>(QString::fromLatin1(name)))
            paintBackground(frame, color);
    }
}

void MainWindow::ensurePageFilled(int page) {
    bool& filled = m_pageFilled[static_cast<std::size_t>(page)];
    if (!m_pageFiller || filled) return;
    filled = true;
    QWidget* panel = m_pages[static_cast<std::size_t>(page)];
    m_pageFiller(page, panel);
    skinPageButtons(panel);
    ApplyFrameBackColor(m_colors.backColor);
}

void MainWindow::ApplyPageBackColor(std::int32_t color) {
    for (QWidget* page : m_pages) paintBackground(page, color);
}

// ---- Tabs and chrome as the state machines drive them
// --------------------------------------------

void MainWindow::showTabFace(int tab, int number) {
    m_tabFaceNumbers[static_cast<std::size_t>(tab)] = number;
    m_tabs[static_cast<std::size_t>(tab)]->setFace(tabFace(number));
}

void MainWindow::showTabTip(int tab, std::string_view caption) {
    m_tip->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    m_tip->adjustSize();
    const QWidget* anchor = m_tabs[static_cast<std::size_t>(tab)];
    m_tip->move(anchor->x() + (anchor->width() - m_tip->width()) / 2,
                twipsToPixels(tipTopFor(m_tabTopTwips, pixelsToTwips(m_tip->height()))));
    m_tip->show();
}

void MainWindow::hideTabTip() {
    m_tip->hide();
}

void MainWindow::setPageVisible(int page, bool visible) {
    if (visible) ensurePageFilled(page);
    m_pages[static_cast<std::size_t>(page)]->setVisible(visible);
    if (visible) emit pageShown(page);
}

void MainWindow::refreshStartupList() {
    if (m_startupFrame != nullptr) m_startupFrame->refresh();
    if (m_hooks.refreshStartupList) m_hooks.refreshStartupList();
}

WindowHandle MainWindow::tabWindow(int tab) const {
    return windowHandleOf(m_tabs[static_cast<std::size_t>(tab)]);
}

void MainWindow::showSizeBoxFace(int button, int number) {
    m_sizeBoxFaceNumbers[static_cast<std::size_t>(button)] = number;
    m_sizeBoxes[static_cast<std::size_t>(button)]->setFace(sizeBoxFace(number));
}

WindowHandle MainWindow::sizeBoxWindow(int button) const {
    return windowHandleOf(m_sizeBoxes[static_cast<std::size_t>(button)]);
}

void MainWindow::requestClose() {
    close();
}

void MainWindow::requestMinimize() {
    showMinimized();
}

void MainWindow::showAboutBox() {
    FormAbout about(m_colors, this);
    about.exec();
}

void MainWindow::showColorDialog() {
    FormConfig dialog(*this);
    dialog.exec();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers == Qt::ControlModifier;
    if (control && event->key() == Qt::Key_Z) {
        undoLatestAction();
        return;
    }
    if ((control && event->key() == Qt::Key_Y) ||
        (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z)) {
        redoLatestAction();
        return;
    }
    if (control && event->key() == Qt::Key_H) {
        showHistory();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::DragWindow() {
    // The platform moves the window with the pointer until the button is released, as if its
    // caption bar had been pressed. Platforms without that service leave the window in place.
    if (QWindow* handle = windowHandle()) handle->startSystemMove();
    emit dragStarted();
}

// ---- Events
// ---------------------------------------------------------------------------------------

void MainWindow::mousePressEvent(QMouseEvent* event) {
    // Only presses on the window's own background arrive here: the tabs, chrome buttons and
    // pages keep theirs.
    event->accept();
    DragWindow();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (m_firstPaintSeen || !m_loaded) return;
    m_firstPaintSeen = true;
    // The pages not on show and the startup list are filled once the window is on screen, so
    // neither delays it.
    QTimer::singleShot(0, this, [this] {
        emit firstPainted();
        for (int page = 0; page < kPageCount; ++page) ensurePageFilled(page);
        emit pagesFilled();
        refreshStartupList();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_startupFrame != nullptr) m_startupFrame->clear();
    if (m_hooks.clearStartupRows) m_hooks.clearStartupRows();
    const bool closes = confirmClose(m_services.dialogs, m_services.framework.NeedsRestart(),
                                     m_services.restartCommand, m_services.beforeRestart);
    if (closes) {
        event->accept();
        return;
    }
    event->ignore();
    // The rows were cleared for the question; the user stays, so the list is read again now
    // rather than leaving the startup page empty until another tab is chosen.
    refreshStartupList();
}

}  // namespace hivora
