// The bar's properties, layout and drawing procedures. Mouse and timer handling live in
// scroll_bar_input.cpp, the stored properties in scroll_bar_properties.cpp.

#include "core/scrollbar/skinned_scroll_bar.h"

#include <algorithm>
#include <limits>

#include "core/scrollbar/scroll_bar_painter.h"
#include "core/scrollbar/skin_picture_ids.h"

namespace hivora {

namespace {

constexpr std::int32_t kMaxSmallChange = 32767;
constexpr std::int32_t kMaxLargeChange = 10000;
constexpr std::int32_t kMaxMin = 32767;
constexpr std::int32_t kMaxForNegative = 32767;
constexpr const char* kInvalidPropertyValue = "Invalid property value";

}  // namespace

SkinnedScrollBar::SkinnedScrollBar(Orientation orientation, ScrollBarWindow& window,
                                   ScrollBarServices services, int width, int height)
    : m_orientation(orientation), m_window(window), m_services(services) {
    m_hoverTimer = m_services.timers.createTimer([this] { hoverTick(); });
    m_repeatTimer = m_services.timers.createTimer([this] { repeatTick(); });
    m_width = width;
    m_height = height;
    loadColorScheme();
    relayout();
}

SkinnedScrollBar::~SkinnedScrollBar() = default;

// ---- Properties ---------------------------------------------------------------------------------

void SkinnedScrollBar::setValue(std::int32_t value) {
    if (value == m_value) return;
    // Clamped after the comparison: setting 300 on a bar already at 255 stores 255 again and
    // still raises Change, as the bar has always done.
    if (value < m_min) {
        value = m_min;
    } else if (value > m_max) {
        value = m_max;
    }
    m_value = value;
    RedrawAfterValueChange();
    raiseChange();
    noteChange("Value");
}

void SkinnedScrollBar::setValueWide(long long value) {
    constexpr long long kLow = std::numeric_limits<std::int32_t>::min();
    constexpr long long kHigh = std::numeric_limits<std::int32_t>::max();
    setValue(static_cast<std::int32_t>(std::clamp(value, kLow, kHigh)));
}

void SkinnedScrollBar::setMin(std::int32_t value) {
    if (value < 0 || value > kMaxMin) value = 0;
    m_min = value;
    setValue(m_value < m_min ? m_min : m_value);
    relayout();
    noteChange("Min");
}

void SkinnedScrollBar::setMax(std::int32_t value) {
    if (value < 0) value = kMaxForNegative;
    m_max = value;
    setValue(m_max < m_value ? m_max : m_value);
    relayout();
    noteChange("Max");
}

void SkinnedScrollBar::setSmallChange(std::int32_t value) {
    if (value < 0 || value > kMaxSmallChange) {
        showInvalidValue();
        value = 1;
    }
    m_smallChange = value;
    noteChange("SmallChange");
}

void SkinnedScrollBar::setLargeChange(std::int32_t value) {
    if (value < 0 || value > kMaxLargeChange) {
        showInvalidValue();
        value = 1;
    }
    m_largeChange = value;
    relayout();
    noteChange("LargeChange");
}

void SkinnedScrollBar::setColorScheme(std::int32_t value) {
    if (value == -1) value = 0;
    if (value == m_scheme) return;
    m_scheme = value;
    loadColorScheme();
    RepaintAll();
    noteChange("ColorScheme");
}

bool SkinnedScrollBar::Enabled() const {
    return m_window.isWindowEnabled();
}

void SkinnedScrollBar::setEnabled(bool enabled) {
    m_window.setWindowEnabled(enabled);
    windowEnabledChanged();
}

void SkinnedScrollBar::windowEnabledChanged() {
    // A disabled window receives no button release: without this a held arrow would go on
    // stepping from the repeat timer until the bar was enabled and clicked again.
    if (!Enabled()) endPress();
    noteChange("Enabled");
    RepaintAll();
}

WindowHandle SkinnedScrollBar::hwnd() const {
    return m_window.hwnd();
}

void SkinnedScrollBar::loadColorScheme() {
    GetColorScheme(m_scheme, m_colors);
    m_keptCapId = keptCapId(m_orientation, m_scheme);
}

void SkinnedScrollBar::noteChange(std::string_view property) {
    if (onPropertyChanged) onPropertyChanged(property);
}

void SkinnedScrollBar::raiseChange() {
    if (onChange) onChange();
}

void SkinnedScrollBar::showInvalidValue() {
    // Error icon and OK, no title: the box carries the application's title.
    (void)m_services.dialogs.ShowMessageBox(kInvalidPropertyValue, kMbOk | kMbIconError);
}

void SkinnedScrollBar::endPress() {
    m_state.mouseDown = false;
    m_state.dragging = false;
}

// ---- Layout -------------------------------------------------------------------------------------

void SkinnedScrollBar::relayout() {
    const bool horizontal = m_orientation == Orientation::Horizontal;
    const int width = horizontal ? std::max(m_width, kMinBarLength) : kBarThickness;
    const int height = horizontal ? kBarThickness : std::max(m_height, kMinBarLength);
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        m_sizing = true;
        m_window.setWindowSize(width, height);
        m_sizing = false;
    }
    if (m_image.width() != m_width || m_image.height() != m_height) {
        m_image.resize(m_width, m_height);
    }
    CalcThumbSize(length(), m_largeChange, m_max, m_state.thumb);
    RepaintAll();
}

void SkinnedScrollBar::resize(int width, int height) {
    if (m_sizing || (width == m_width && height == m_height)) return;
    m_width = width;
    m_height = height;
    relayout();
}

// ---- Drawing ------------------------------------------------------------------------------------

void SkinnedScrollBar::endSequence() {
    if (--m_sequenceDepth == 0) m_window.present(m_image);
}

void SkinnedScrollBar::RedrawAfterValueChange() {
    Sequence sequence(*this);
    ScrollBarPainter(m_image, m_orientation).DrawTrack(m_scheme, true);
    CalcThumbPos();
    DrawThumb(m_state.hoverPart == kPartThumb ? kStatePressed : kStateNormal);
    DrawPressedTrack();
}

void SkinnedScrollBar::RepaintAll() {
    Sequence sequence(*this);
    ScrollBarPainter(m_image, m_orientation).DrawTrack(m_scheme, false);
    DrawDecArrow(kStateNormal);
    DrawIncArrow(kStateNormal);
    DrawThumb(kStateNormal);
}

void SkinnedScrollBar::CalcThumbPos() {
    m_state.thumbPos =
        hivora::CalcThumbPos(length(), m_state.thumb.length, m_value, m_max, m_state.thumbPos);
}

void SkinnedScrollBar::DrawDecArrow(int state) {
    ScrollBarPainter(m_image, m_orientation).DrawDecArrow(state, Enabled(), m_scheme);
    m_state.lastDrawn = state * 5 + kPartDecArrow;
}

void SkinnedScrollBar::DrawIncArrow(int state) {
    ScrollBarPainter(m_image, m_orientation).DrawIncArrow(state, Enabled(), m_scheme);
    m_state.lastDrawn = state * 5 + kPartIncArrow;
}

void SkinnedScrollBar::DrawThumb(int state) {
    if (Enabled() && length() > kThumbShownAbove) {
        CalcThumbPos();
        ScrollBarPainter(m_image, m_orientation)
            .DrawThumb(state, m_scheme, m_colors, m_keptCapId, m_state.thumbPos,
                       m_state.thumb.length);
    }
    m_state.lastDrawn = state * 5 + kPartThumb;
}

void SkinnedScrollBar::DrawPressedTrack() {
    if (m_state.dragging) return;
    ScrollBarPainter(m_image, m_orientation)
        .DrawPressedTrack(m_scheme, m_state.hotPart, m_state.thumbPos, m_state.thumb.length);
}

void SkinnedScrollBar::drawPart(int part, int state) {
    switch (part) {
        case kPartDecArrow:
            DrawDecArrow(state);
            break;
        case kPartThumb:
            DrawThumb(state);
            break;
        case kPartIncArrow:
            DrawIncArrow(state);
            break;
        default:
            break;  // track parts have no hot or pressed picture of their own
    }
}

void SkinnedScrollBar::ClearHotPart() {
    drawPart(m_state.hotPart, kStateNormal);
}

}  // namespace hivora
