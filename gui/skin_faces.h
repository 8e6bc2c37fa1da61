#pragma once
// The pictures of the main window's image lists, numbered from 1 as the window addresses them:
//   ImageList_TopToolBar  25 tab faces of 44 x 44 px, five per tab: 5i+1 selected, 5i+2 normal,
//                         5i+3 hovered, 5i+4 pressed, 5i+5 held;
//   ImageList_Button      28 image-button faces of 57 x 25 px: 2k+1 released, 2k+2 pressed for
//                         button kind k (core/catalogue/tweak_framework.h);
//   ImageList_SizeBox     16 chrome faces of 24 x 22 px, four per button: 4i+1 resting,
//                         4i+2 hot, 4i+3 pressed, 4i+4 held;
//   ImageList_SysDir      2 browse-button faces of 20 x 16 px.
// Each function returns the picture with its device pixel ratio set, so that a 2x picture draws
// at the size above in device-independent pixels. A number outside the list gives a null pixmap.

#include <QPixmap>

namespace hivora {

QPixmap tabFace(int number);
QPixmap buttonFace(int number);
QPixmap sizeBoxFace(int number);
QPixmap sysDirFace(int number);

}  // namespace hivora
