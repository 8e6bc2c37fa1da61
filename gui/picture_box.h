#pragma once
// A picture control of the window's chrome (a tab or a chrome button): shows one face picture,
// sizes itself to it, and reports its mouse events as the handlers take them: button codes
// 1 left, 2 right, 4 middle; for a move the set of buttons held; positions in its own pixels.
// Moves are reported with no button held too (mouse tracking is on).

#include <QLabel>
#include <QPointF>

namespace hivora {

class PictureBox : public QLabel {
    Q_OBJECT
  public:
    PictureBox(const QString& objectName, QWidget* parent);

    // Shows `face` and takes its size in device-independent pixels.
    void setFace(const QPixmap& face);

  signals:
    void mouseMoved(int buttons, QPointF position);
    void mousePressed(int button, QPointF position);
    void mouseReleased(int button, QPointF position);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace hivora
