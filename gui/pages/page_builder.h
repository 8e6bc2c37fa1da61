#pragma once
// Fills the five pages of the main window with their frames and settings rows.
//
// The window creates the five empty page widgets (Picture_Main(0..4), 772 x 473 pixels) and calls
// buildPage once for each, before it colours the frames. Every control gets its documented object
// name, with the row index in parentheses for an element of a row array ("Picture_Forbid(2)"),
// so that tests and tools can find it with QObject::findChild. Frames are QGroupBox widgets named
// "Frame_..."; the window's colouring can find them by that prefix.
//
// Page 0 keeps the area of the startup frame (startupFrameArea()) free: the window places
// Frame_PowerStart there itself.

#include <QRect>
#include <QSize>

#include "core/catalogue/row_dispatch.h"

class QWidget;

namespace hivora {

// What the rows of the pages need while the window lives. Every reference must outlive the pages.
struct PageServices {
    CatalogueServices& catalogue;  // registry layer, NeedsRestart, dialogs, files, desktop refresh
};

// The size every page is designed for, in pixels (11580 x 7100 twips).
QSize designedPageSize();

// Where page 0's startup frame stands, in page pixels (3840, 120; 7575 x 4215 twips).
QRect startupFrameArea();

// Creates the frames, captions, text boxes and image buttons of page `index` (0..4) as children
// of `page` and wires their clicks to the row actions. An index outside 0..4 does nothing. The
// page is given its designed size, for which the layout is made. Calling it twice for one page
// adds the controls twice: call it once.
void buildPage(int index, QWidget* page, PageServices& services);

// ShowLogonAppearance on page 0: fills the logon picture preview, its file-name label and the
// colour swatch from the registry. buildPage does not read the registry, so that the window can
// show before the store is opened; the host calls this once the store is open. A page without the
// logon frames is left alone.
void showLogonAppearance(QWidget* page, PageServices& services);

// The logon appearance frame's reach on the Windows of the registry: where the frame has no
// effect (the classic logon went with Vista), a mark "⊘ 对此 Windows 无效" at the right of its
// first line, whose tooltip says so in full (noEffectLine); hidden elsewhere and while the
// version is unknown. A page without the logon frames is left alone.
void markLogonAppearance(QWidget* page, WindowsGeneration generation);

}  // namespace hivora
