#pragma once
// An image button of the pages: a picture control that shows the released face of its button
// kind, the pressed face while the left mouse button holds it, and reports a click when the left
// button is released over it. The click is reported after the released face is back on screen, so
// a message box the click opens shows the button at rest. Keyboard users reach it with Tab; Space
// or Enter press it the same way.

#include <QLabel>
#include <optional>

namespace hivora {

class ImageButton : public QLabel {
    Q_OBJECT
  public:
    // `kind` is the button kind (kKindSet, kKindForbid, ...); `objectName` the control's name,
    // for example "Picture_Forbid(2)". The button sizes itself to its face and takes the rounded
    // 13 x 13 shape.
    ImageButton(int kind, const QString& objectName, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    bool isPressed() const { return m_pressed; }

  signals:
    void clicked();

  protected:
    // The picture of face `number`: by default image `number` of the button image list. A button
    // with faces of its own overrides it and shows its resting face in its constructor.
    virtual QPixmap face(int number) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void showFace(std::optional<int> face);
    void finishClick();

    int m_kind;
    bool m_pressed = false;
};

// Makes `button` a skinned image button of `kind`: released face, no border, sized to the face,
// rounded 13 x 13 (the shape follows the face's size, so it is applied after sizing).
void SkinImageButton(QLabel* button, int kind);

}  // namespace hivora
