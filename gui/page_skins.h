#pragma once
// The faces the pages' image buttons and folder-browse pictures take at start-up, in the
// window's skinning order.

class QWidget;

namespace hivora {

// Gives every ImageButton under `root` whose name is one of the pages' button names
// ("Picture_Forbid(2)", "Picture_BackgroundSel", ...) its released face, single buttons first and
// the two buttons of each row side by side; and every folder-browse picture
// ("Picture_SysDir(i)") its face and rounded shape. Other widgets are left alone.
void skinPageButtons(QWidget* root);

}  // namespace hivora
