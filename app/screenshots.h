#pragma once
// Two switches by environment for measuring and documenting the program (nothing else reads
// them): HIVORA_QUIT_AFTER_FIRST_PAINT=<file> writes the monotonic clock's reading at the
// window's first frame (nanoseconds, decimal) into the file and ends the program (start-up
// benchmark), and HIVORA_SCREENSHOTS=<folder> saves each page as page<N>.png, the About box as
// about.png and the colour dialog as colors.png into the folder once the rows show their state,
// and then ends (tools/window_screenshots.sh).

namespace hivora {

class MainWindow;

void arrangeScreenshotsOrQuit(MainWindow& window);

}  // namespace hivora
