#pragma once
// Two switches by environment for measuring and documenting the program (nothing else reads
// them): HIVORA_QUIT_AFTER_FIRST_PAINT=1 ends the program right after the window's first frame
// (start-up benchmarks), and HIVORA_SCREENSHOTS=<folder> saves each page as page<N>.png into the
// folder and then ends (tools/window_screenshots.sh).

namespace hivora {

class MainWindow;

void arrangeScreenshotsOrQuit(MainWindow& window);

}  // namespace hivora
