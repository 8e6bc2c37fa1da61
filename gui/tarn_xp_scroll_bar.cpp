#include "gui/tarn_xp_scroll_bar.h"

#include <QEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "gui/qt_timer_service.h"
#include "gui/window_helpers.h"

namespace hivora {

namespace {

// The bar's one message, for hosts that give no dialog services: a plain box with the error icon
// and OK. The bar asks for nothing else.
class MessageBoxOnly : public DialogServices {
  public:
    int ShowMessageBox(const std::string& prompt, int, const std::string& title) override {
        QMessageBox::critical(nullptr, QString::fromStdString(dialogTitle(title)),
                              QString::fromStdString(prompt));
        return kIdOk;
    }
    std::string ShowInputBox(const std::string&, const std::string&, const std::string&,
                             bool) override {
        return {};
    }
    std::string ShowOpenFileDialog(const std::string&) override { return {}; }
    std::string ShowSaveFileDialog(const std::string&, const std::string&) override { return {}; }
    std::int32_t ShowColorDialog(std::int32_t initialColor) override { return initialColor; }
    Status RunCommand(const std::string&, int) override {
        return Status::error("not available to a scroll bar");
    }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

int buttonFlags(Qt::MouseButtons buttons) {
    int flags = 0;
    if (buttons & Qt::LeftButton) flags |= kLeftButton;
    if (buttons & Qt::RightButton) flags |= kRightButton;
    if (buttons & Qt::MiddleButton) flags |= kMiddleButton;
    return flags;
}

}  // namespace

TarnXPScrollBarBase::TarnXPScrollBarBase(Orientation orientation, QWidget* parent,
                                         ScrollBarWidgetServices services)
    : QWidget(parent) {
    setMouseTracking(true);  // hover needs moves without a button
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (orientation == Orientation::Horizontal) {
        setFixedHeight(kBarThickness);
        setMinimumWidth(kMinBarLength);
    } else {
        setFixedWidth(kBarThickness);
        setMinimumHeight(kMinBarLength);
    }
    if (services.dialogs == nullptr) m_ownDialogs = std::make_unique<MessageBoxOnly>();
    ScrollBarServices barServices{
        services.dialogs ? *services.dialogs : *m_ownDialogs,
        services.timers ? *services.timers : QtTimerService::shared(),
        services.pointer ? *services.pointer : QtPointerService::shared(),
    };
    ScrollBarWindow& window = *this;
    m_bar = std::make_unique<SkinnedScrollBar>(orientation, window, barServices, width(), height());
    m_bar->onChange = [this] { emit Change(); };
    m_bar->onScroll = [this] { emit Scroll(); };
}

TarnXPScrollBarBase::~TarnXPScrollBarBase() = default;

TarnXPHScrollBar::TarnXPHScrollBar(QWidget* parent, ScrollBarWidgetServices services)
    : TarnXPScrollBarBase(Orientation::Horizontal, parent, services) {}

TarnXPVScrollBar::TarnXPVScrollBar(QWidget* parent, ScrollBarWidgetServices services)
    : TarnXPScrollBarBase(Orientation::Vertical, parent, services) {}

WindowHandle TarnXPScrollBarBase::hwnd() const {
    return windowHandleOf(this);
}

QSize TarnXPScrollBarBase::sizeHint() const {
    return m_bar->orientation() == Orientation::Horizontal ? QSize(100, kBarThickness)
                                                           : QSize(kBarThickness, 100);
}

// ---- ScrollBarWindow ----

bool TarnXPScrollBarBase::isWindowEnabled() const {
    return isEnabled();
}

void TarnXPScrollBarBase::setWindowEnabled(bool enabled) {
    m_settingEnabled = true;  // the bar itself reacts; changeEvent must not report it again
    setEnabled(enabled);
    m_settingEnabled = false;
}

void TarnXPScrollBarBase::setWindowSize(int width, int height) {
    resize(width, height);
}

void TarnXPScrollBarBase::present(const PixelBuffer& image) {
    if (m_shown.width() != image.width() || m_shown.height() != image.height()) {
        m_shown = QImage(image.width(), image.height(), QImage::Format_RGB32);
    }
    // The buffer's pixels are 0xFFRRGGBB, as Format_RGB32 keeps them.
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(m_shown.scanLine(y), image.data() + static_cast<std::size_t>(y) * image.width(),
                    static_cast<std::size_t>(image.width()) * sizeof(Argb));
    }
    update();
}

// ---- Events ----

void TarnXPScrollBarBase::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_shown);
}

void TarnXPScrollBarBase::resizeEvent(QResizeEvent*) {
    if (m_bar) m_bar->resize(width(), height());  // not while the bar is being made
}

void TarnXPScrollBarBase::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    m_bar->mouseMove(buttonFlags(event->buttons()), at.x(), at.y());
}

void TarnXPScrollBarBase::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    m_bar->mouseDown(buttonFlags(event->button()), at.x(), at.y());
}

void TarnXPScrollBarBase::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    m_bar->mouseUp(buttonFlags(event->button()), at.x(), at.y());
}

void TarnXPScrollBarBase::changeEvent(QEvent* event) {
    // Enabled or disabled from outside: by the host's setEnabled or with the parent.
    if (event->type() == QEvent::EnabledChange && !m_settingEnabled && m_bar) {
        m_bar->windowEnabledChanged();
    }
    QWidget::changeEvent(event);
}

}  // namespace hivora
