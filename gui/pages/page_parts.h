#pragma once
// The page bodies buildPage puts together; each lays out its frames inside `page` (page pixels)
// and wires its controls to the catalogue through `services`, which must outlive the page.

#include <QRect>

#include "gui/pages/page_builder.h"

class QWidget;

namespace hivora {

// Margin between the page's edge and its frames, and between neighbouring frames.
inline constexpr int kPageMargin = 8;

// Page 0: Frame_LoginShow left of the startup frame, Frame_LoginStyle under both.
void buildLogonFrames(QWidget* page, PageServices& services);
// Page 2: Frame_IEPage and Frame_IEProperty.
void buildBrowserPage(QWidget* page, PageServices& services);
// Page 4: Frame_SysDir and Frame_RegTo.
void buildSystemInfoPage(QWidget* page, PageServices& services);

}  // namespace hivora
