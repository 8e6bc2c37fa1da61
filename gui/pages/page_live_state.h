#pragma once
// Puts the live-state marks on the settings rows of a built page and keeps them current after the
// page's own actions.
//
// Called once per page, right after buildPage. It finds the rows by the object names buildPage
// gives them, so the page bodies need no code for it. Each caption gives up its left strip to its
// mark (the mark never covers another control), each text box of the page-address, special-folder
// and registration rows shows its current value as a greyed placeholder, and every image button of
// the page asks the controller to read the rows again once its own action has finished.

class QWidget;

namespace hivora {

class LiveStateController;

// Registers the rows of page `index` (0..4) of `page` with `live`, which must outlive the page.
// Returns the number of marks attached; 0 for an index outside 0..4 or a page not yet built.
int attachLiveState(int index, QWidget* page, LiveStateController& live);

// The object name of the mark of the caption named `captionName`: "Mark_" + the caption's name.
inline constexpr const char* kStateMarkPrefix = "Mark_";

}  // namespace hivora
