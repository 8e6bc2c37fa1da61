#pragma once
// The skinned scroll bars as Qt widgets: TarnXPHScrollBar (horizontal) and TarnXPVScrollBar
// (vertical). The widget only forwards: mouse events and resizes go to the bar's model
// (core/scrollbar/skinned_scroll_bar.h), which draws into its backing image; the widget shows the
// image as last presented. Enable or disable a bar with QWidget::setEnabled.
//
// Hosts may pass the services the bar uses; any not given are Qt's timers and pointer, and a
// plain message box for the bar's one message ("Invalid property value").

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "core/scrollbar/skinned_scroll_bar.h"

namespace hivora {

struct ScrollBarWidgetServices {
    TimerService* timers = nullptr;
    PointerService* pointer = nullptr;
    DialogServices* dialogs = nullptr;
};

class TarnXPScrollBarBase : public QWidget, private ScrollBarWindow {
    Q_OBJECT

  public:
    ~TarnXPScrollBarBase() override;

    std::int32_t Value() const { return m_bar->Value(); }
    void setValue(std::int32_t value) { m_bar->setValue(value); }
    std::int32_t Min() const { return m_bar->Min(); }
    void setMin(std::int32_t value) { m_bar->setMin(value); }
    std::int32_t Max() const { return m_bar->Max(); }
    void setMax(std::int32_t value) { m_bar->setMax(value); }
    std::int32_t SmallChange() const { return m_bar->SmallChange(); }
    void setSmallChange(std::int32_t value) { m_bar->setSmallChange(value); }
    std::int32_t LargeChange() const { return m_bar->LargeChange(); }
    void setLargeChange(std::int32_t value) { m_bar->setLargeChange(value); }
    std::int32_t ColorScheme() const { return m_bar->ColorScheme(); }
    void setColorScheme(std::int32_t value) { m_bar->setColorScheme(value); }
    // The handle by which window helpers name this bar (windowHandleOf(this)).
    WindowHandle hwnd() const override;

    SkinnedScrollBar& bar() { return *m_bar; }
    const SkinnedScrollBar& bar() const { return *m_bar; }
    // The image as last presented: what the widget shows.
    const QImage& shownImage() const { return m_shown; }

    QSize sizeHint() const override;

  signals:
    void Change();
    void Scroll();

  protected:
    TarnXPScrollBarBase(Orientation orientation, QWidget* parent, ScrollBarWidgetServices services);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // ScrollBarWindow
    bool isWindowEnabled() const override;
    void setWindowEnabled(bool enabled) override;
    void setWindowSize(int width, int height) override;
    void present(const PixelBuffer& image) override;

    std::unique_ptr<DialogServices> m_ownDialogs;
    std::unique_ptr<SkinnedScrollBar> m_bar;
    QImage m_shown;
    bool m_settingEnabled = false;
};

class TarnXPHScrollBar : public TarnXPScrollBarBase {
    Q_OBJECT

  public:
    explicit TarnXPHScrollBar(QWidget* parent = nullptr, ScrollBarWidgetServices services = {});
};

class TarnXPVScrollBar : public TarnXPScrollBarBase {
    Q_OBJECT

  public:
    explicit TarnXPVScrollBar(QWidget* parent = nullptr, ScrollBarWidgetServices services = {});
};

}  // namespace hivora
