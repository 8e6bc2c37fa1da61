#pragma once
// The browser page ("IE设置"): four page-address rows, each a text box with an apply ("更改",
// kind 6) and a default ("默认", kind 7) button, and the twelve property rows of
// browserPropertiesCatalogue() (CataloguePage::BrowserProperties, run with runRowAction).
// No action of this page raises NeedsRestart.

#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/row_dispatch.h"

namespace hivora {

inline constexpr std::string_view kIEPageFrameCaption = " 页 面 (使用完整的地址)";
inline constexpr std::string_view kIEPropertyFrameCaption = " 属 性 (有些同样影响\"我的电脑\")";

inline constexpr int kIEPageRowCount = 4;

// The caption of page-address row `row` (0 to 3); "" outside.
std::string_view iePageCaption(int row);

// The factory defaults the default buttons write: the browser's own home page (rows 0 and 1),
// its search assistant (row 2) and its window title (row 3).
inline constexpr const char* kFactoryHomePage = "http://go.microsoft.com/fwlink/?LinkId=69157";
inline constexpr const char* kFactorySearchAssistant =
    "http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchasst.htm";
inline constexpr const char* kFactoryWindowTitle = "Microsoft Internet Explorer";

// The operations the apply button of page-address row `row` runs for `text` (the default button
// runs them for iePageFactoryDefault(row)), in order; none outside 0..3.
std::vector<RegOp> iePageWrites(int row, const std::string& text);
// The factory default of page-address row `row`; "" outside 0..3.
std::string_view iePageFactoryDefault(int row);
// The Windows generations on which page-address row `row` takes effect (see
// CatalogueRow::takesEffectOn); every generation outside 0..3.
WindowsGenerations iePageTakesEffectOn(int row);

// The apply button of page-address row `row`, with `boxText` the text box's text. A text that is
// empty once blanks are trimmed writes nothing and shows nothing (completed false). Otherwise the
// text as typed (blanks kept) is written to the row's values and "已设置！" is shown, or
// "设置出错！" when a write fails; on a Windows where the row has no effect the box adds the line
// that says so (noEffectLine). A row outside 0..3 does nothing and reports a failed status.
RowOutcome runIEPageChange(CatalogueServices& services, int row, const std::string& boxText);

// The default button of page-address row `row`: writes the row's factory default and shows
// "已修改为默认！" ("设置出错！" on failure), with the no-effect line as above. The text box is
// not touched. A row outside 0..3 does nothing and reports a failed status.
RowOutcome runIEPageDefault(CatalogueServices& services, int row);

}  // namespace hivora
