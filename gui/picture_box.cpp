#include "gui/picture_box.h"

#include <QMouseEvent>

namespace hivora {

namespace {

// Qt's button bits are the handlers' codes: left 1, right 2, middle 4.
int buttonCode(Qt::MouseButtons buttons) {
    return static_cast<int>(buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
}

}  // namespace

PictureBox::PictureBox(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
}

void PictureBox::setFace(const QPixmap& face) {
    setPixmap(face);
    const QSizeF size = face.deviceIndependentSize();
    resize(qRound(size.width()), qRound(size.height()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(buttonCode(event->buttons()), event->position());
    event->accept();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(buttonCode(event->button()), event->position());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(buttonCode(event->button()), event->position());
    event->accept();
}

}  // namespace hivora
