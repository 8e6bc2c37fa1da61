#pragma once
// Building blocks every page uses: named frames and the rows of a catalogue page laid out in
// columns inside a rectangle.
//
// A row is its caption on the left and its two image buttons side by side on the right; the
// buttons of all rows of one block stand in two columns and the rows share one pitch, so the rows
// line up. A caption wider than its column wraps onto a second line inside its row.

#include <QRect>
#include <QString>
#include <string_view>

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/row_dispatch.h"
#include "gui/image_button.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace hivora {

class ImageButton;

// Gaps of the row layout, in pixels.
inline constexpr int kButtonGap = 6;    // between the two buttons of a row
inline constexpr int kCaptionGap = 10;  // between a caption and the first button
inline constexpr int kMaxRowPitch = 44;
// The strip at the left of every row caption that its live-state mark takes (page_live_state.h):
// the mark's size and a gap. Captions sized to their text add it to their width.
inline constexpr int kMarkStrip = 13 + 4;

// The object name of element `index` of a control array: "Picture_Forbid(2)".
QString arrayName(const char* array, int index);

// A frame on `page` at `rect` (page pixels), named `name`, with `caption` as its title. The
// caption is shown as plain text, exactly as given.
QGroupBox* addFrame(QWidget* page, const char* name, const char* caption, const QRect& rect);

// The part of `frame` below its caption and inside its border where controls may go, in the
// frame's own coordinates.
QRect frameContentArea(const QGroupBox* frame);

// A caption label: plain text (captions hold "<" and ">"), wrapping, vertically centred.
QLabel* addCaption(QWidget* parent, const QString& objectName, std::string_view text,
                   const QRect& rect);

// A one-line text box, empty, named `objectName`.
QLineEdit* addTextBox(QWidget* parent, const QString& objectName, const QRect& rect);

// An image button of `kind` with its top-left corner at `at`; it runs `onClick` when clicked.
// `onClick` is called with the button at rest (see ImageButton).
template <typename Click>
ImageButton* addButton(QWidget* parent, int kind, const QString& objectName, QPoint at,
                       Click onClick);

// The size of the faces of button kind `kind`.
QSize imageButtonSize(int kind);

// The height of one line of caption in `parent`'s font, Chinese glyphs included (a fallback
// font for them may be taller than the font itself).
int captionLineHeight(const QWidget* parent);

// The height of a one-line text box in `parent`'s font.
int textBoxHeight(const QWidget* parent);

// The row arrays of one block of rows: caption labels, set buttons, lift buttons.
struct RowArrayNames {
    const char* label;
    const char* setButton;
    const char* liftButton;
};

// Rows `first` to `first + count - 1` of `catalogue`, shown under `names`; the control arrays are
// indexed by the catalogue's row index. The catalogue must outlive the controls (the catalogues
// are static tables).
struct RowBlock {
    const PageCatalogue& catalogue;
    int first;
    int count;
    RowArrayNames names;
};

// Creates the caption and the two buttons of every row of `block` inside `area` of `parent`
// (parent coordinates), rows top-down, and wires each button's click to the row action (set or
// lift) through `services`, which must outlive the controls. Tab order follows the rows: set,
// then lift, then the next row.
void addCatalogueRows(QWidget* parent, const QRect& area, const RowBlock& block,
                      CatalogueServices& services);

template <typename Click>
ImageButton* addButton(QWidget* parent, int kind, const QString& objectName, QPoint at,
                       Click onClick) {
    auto* button = new ImageButton(kind, objectName, parent);
    button->move(at);
    QObject::connect(button, &ImageButton::clicked, button, onClick);
    return button;
}

}  // namespace hivora
