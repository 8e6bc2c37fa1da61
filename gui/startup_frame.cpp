#include "gui/startup_frame.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QWheelEvent>

#include "core/startup/startup_list.h"
#include "core/ui/twips.h"
#include "gui/image_button.h"
#include "gui/startup_view.h"
#include "gui/window_helpers.h"

namespace hivora {

using namespace startup_geometry;

namespace {

constexpr int kWheelNotch = 120;   // eighths of a degree per notch of an ordinary wheel
constexpr int kCaptionIndent = 8;  // pixels from the frame's left edge to its caption

QPoint pointOf(int leftTwips, int topTwips) {
    return {twipsToPixels(leftTwips), twipsToPixels(topTwips)};
}

// Turns the wheel's turning into whole steps, keeping the rest for the next event.
int wholeNotches(int& remainder, int delta) {
    remainder += delta;
    const int notches = remainder / kWheelNotch;
    remainder -= notches * kWheelNotch;
    return notches;
}

}  // namespace

StartupFrame::StartupFrame(RegInfoGetSet& layer, TweakFramework& framework, QWidget* parent,
                           ScrollBarWidgetServices barServices)
    : QFrame(parent), m_framework(framework), m_list(std::make_unique<StartupList>(layer)) {
    setObjectName(QStringLiteral("Frame_PowerStart"));
    setFixedSize(kStartupFrameRect.size());

    m_view = new StartupView(*m_list, this);
    m_view->move(pointOf(kViewLeft, kViewTop));
    connect(m_view, &StartupView::rowMenuRequested, this, &StartupFrame::showRowMenu);

    m_vBar = new TarnXPVScrollBar(this, barServices);
    m_vBar->setObjectName(QStringLiteral("VScroll_PowerStart"));
    m_vBar->move(pointOf(kVBarLeft, kViewTop));
    m_hBar = new TarnXPHScrollBar(this, barServices);
    m_hBar->setObjectName(QStringLiteral("HScroll_PowerStart"));
    m_hBar->move(pointOf(kViewLeft, kHBarTop));
    hideBars();

    // The handlers read Value and Max from their bar; a repeated Change does no harm.
    connect(m_vBar, &TarnXPScrollBarBase::Change, this, [this] {
        const StartupViewLayout& layout = m_view->layout();
        const auto top = startupContentOffset(m_vBar->Value(), m_vBar->Max(), layout.contentHeight,
                                              layout.viewHeight);
        if (top) m_view->setContentTop(*top);
    });
    connect(m_hBar, &TarnXPScrollBarBase::Change, this, [this] {
        const StartupViewLayout& layout = m_view->layout();
        const auto left = startupContentOffset(m_hBar->Value(), m_hBar->Max(), layout.contentWidth,
                                               layout.viewWidth);
        if (left) m_view->setContentLeft(*left);
    });

    struct ButtonPlace {
        int kind;
        const char* name;
        int left;
        void (StartupFrame::*command)();
    };
    const ButtonPlace buttons[] = {
        {kKindSelectAll, "Picture_PowerStartSelAll", kSelectAllLeft, &StartupFrame::selectAll},
        {kKindInvertSelection, "Picture_PowerStartAntiSel", kInvertLeft,
         &StartupFrame::invertSelection},
        {kKindDelete, "Picture_PowerStartRemove", kRemoveLeft, &StartupFrame::removeSelected},
        {kKindSwitchOff, "Picture_PowerStartOff", kSwitchOffLeft, &StartupFrame::switchOff},
        {kKindSwitchOn, "Picture_PowerStartOn", kSwitchOnLeft, &StartupFrame::switchOn},
    };
    for (const ButtonPlace& place : buttons) {
        auto* button = new ImageButton(place.kind, QString::fromLatin1(place.name), this);
        button->move(pointOf(place.left, kButtonTop));
        connect(button, &ImageButton::clicked, this, place.command);
    }
}

StartupFrame::~StartupFrame() = default;

StartupList& StartupFrame::list() {
    return *m_list;
}

const StartupList& StartupFrame::list() const {
    return *m_list;
}

void StartupFrame::hideBars() {
    m_vBar->hide();
    m_hBar->hide();
}

void StartupFrame::clear() {
    m_view->reset();
    hideBars();
    m_list->ClearStartupRows();
}

void StartupFrame::refresh() {
    m_list->RefreshStartupList();
    showList();
}

void StartupFrame::showList() {
    m_view->reset();
    hideBars();
    if (m_list->size() == 0) return;  // nothing to lay out: the empty view stays

    const StartupViewLayout& layout = m_view->layOut();
    m_vBar->resize(m_vBar->width(), twipsToPixels(layout.vBarHeight()));
    m_hBar->resize(twipsToPixels(layout.hBarWidth()), m_hBar->height());
    m_vBar->setVisible(layout.verticalBar);
    m_hBar->setVisible(layout.horizontalBar);

    // Setting Max may lower Value, whose Change then moves the content to match.
    const StartupScrollRanges ranges = startupScrollRanges(layout);
    if (ranges.verticalMax) {
        m_vBar->setMin(0);
        m_vBar->setMax(*ranges.verticalMax);
        SetRoundRegion(m_vBar, 15, 15);
    }
    if (ranges.horizontalMax) {
        m_hBar->setMin(0);
        m_hBar->setMax(*ranges.horizontalMax);
        SetRoundRegion(m_hBar, 15, 15);
    }
}

void StartupFrame::selectAll() {
    m_list->SelectAll();
    m_view->syncChecks();
}

void StartupFrame::invertSelection() {
    m_list->InvertSelection();
    m_view->syncChecks();
}

void StartupFrame::removeSelected() {
    const RemovalOutcome outcome = m_list->RemoveSelected();
    if (outcome.refreshed) showList();
    m_framework.show(outcome.shown);  // after the view shows the list as it now is
}

void StartupFrame::switchOff() {
    switchSelected(false);
}

void StartupFrame::switchOn() {
    switchSelected(true);
}

void StartupFrame::switchSelected(bool on) {
    showOutcome(m_list->SwitchSelected(on));
}

void StartupFrame::runRowCommand(std::size_t row, StartupRowCommand command) {
    const std::size_t rows[] = {row};
    switch (command) {
        case StartupRowCommand::SwitchOff:
            showOutcome(m_list->switchRows(rows, false));
            break;
        case StartupRowCommand::SwitchOn:
            showOutcome(m_list->switchRows(rows, true));
            break;
        case StartupRowCommand::RestoreDefault:
            showOutcome(m_list->restoreDefaultRows(rows));
            break;
    }
}

void StartupFrame::showRowMenu(int row, QPoint globalPos) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_list->size()) return;
    if (m_rowMenu == nullptr) {
        m_rowMenu = new QMenu(this);
        m_rowMenu->setObjectName(QStringLiteral("Menu_PowerStartRow"));
    }
    m_rowMenu->clear();
    const StartupRow& shown = m_list->rows()[static_cast<std::size_t>(row)];
    for (const StartupMenuItem& item : startupRowMenu(shown, m_list->switchRule())) {
        QAction* action = m_rowMenu->addAction(QString::fromUtf8(item.label));
        action->setEnabled(item.enabled);
        const StartupRowCommand command = item.command;
        // The row index is taken now: the menu is rebuilt before it is shown again.
        connect(action, &QAction::triggered, this,
                [this, row, command] { runRowCommand(static_cast<std::size_t>(row), command); });
    }
    m_rowMenu->popup(globalPos);
}

void StartupFrame::showOutcome(const SwitchOutcome& outcome) {
    if (outcome.refreshed) {
        showList();
    } else if (outcome.switched > 0) {
        m_view->rebindRowsInSight();
    }
    m_framework.show(outcome.shown, outcome.status.message());
}

void StartupFrame::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int lines = QApplication::wheelScrollLines();
    const auto turn = [lines](TarnXPScrollBarBase* bar, int notches) {
        if (notches != 0 && bar->isVisible()) bar->setValue(bar->Value() - notches * lines);
    };
    // A vertical turn pans the rows; with only the horizontal bar shown it pans sideways.
    const int down = wholeNotches(m_wheelRemainder.ry(), delta.y());
    turn(m_vBar->isVisible() ? static_cast<TarnXPScrollBarBase*>(m_vBar) : m_hBar, down);
    turn(m_hBar, wholeNotches(m_wheelRemainder.rx(), delta.x()));
    event->accept();
}

void StartupFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // A titled border: the line runs through the middle of the caption's height.
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QString caption = QStringLiteral("注册表开机启动项");
    const int lineY = metrics.height() / 2;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRect(0, lineY, width() - 1, height() - lineY - 1));
    const QRect captionRect(kCaptionIndent, 0, metrics.horizontalAdvance(caption) + 4,
                            metrics.height());
    painter.fillRect(captionRect, palette().color(backgroundRole()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignCenter, caption);
}

}  // namespace hivora
