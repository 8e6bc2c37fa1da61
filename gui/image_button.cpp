#include "gui/image_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "core/catalogue/tweak_framework.h"
#include "gui/skin_faces.h"
#include "gui/window_helpers.h"

namespace hivora {

namespace {

// Qt's left button as the face rules name it; other buttons pass as code 2 (never the left one).
int mouseButtonCode(Qt::MouseButton button) {
    return button == Qt::LeftButton ? kLeftMouseButton : 2;
}

}  // namespace

void SkinImageButton(QLabel* button, int kind) {
    const QPixmap face = buttonFace(releasedFace(kind));
    button->setPixmap(face);
    button->setFrameShape(QFrame::NoFrame);
    button->setFixedSize(face.deviceIndependentSize().toSize());
    SetRoundRegion(button, 13, 13);
}

ImageButton::ImageButton(int kind, const QString& objectName, QWidget* parent)
    : QLabel(parent), m_kind(kind) {
    setObjectName(objectName);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    SkinImageButton(this, kind);
}

QPixmap ImageButton::face(int number) const {
    return buttonFace(number);
}

void ImageButton::showFace(std::optional<int> number) {
    if (!number) return;
    setPixmap(face(*number));
    repaint();  // the face must be on screen before a modal box the click may open
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    const std::optional<int> face = PressImageButton(mouseButtonCode(event->button()), m_kind);
    if (face) m_pressed = true;
    showFace(face);
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<int> face = ReleaseImageButton(mouseButtonCode(event->button()), m_kind);
    if (!face) return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    showFace(face);
    if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
    event->accept();
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        m_pressed = true;
        showFace(pressedFace(m_kind));
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ImageButton::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        if (m_pressed) finishClick();
        event->accept();
        return;
    }
    QLabel::keyReleaseEvent(event);
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    // A key press whose release goes to another widget must not leave the button held.
    if (m_pressed) {
        m_pressed = false;
        showFace(releasedFace(m_kind));
    }
    QLabel::focusOutEvent(event);
}

void ImageButton::finishClick() {
    m_pressed = false;
    showFace(releasedFace(m_kind));
    emit clicked();
}

void ImageButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The focus mark: a dotted rectangle inside the face, as keyboard users expect.
    QPainter painter(this);
    QPen pen(QColor(0x20, 0x30, 0x60));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

}  // namespace hivora
