#pragma once
// The system-information page ("系统信息"): nine special-folder rows, each a text box with a
// browse button and an apply button ("应 用", kind 11), and the registration info (owner,
// organisation and computer name, applied with one "设 置" button, kind 1).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/row_dispatch.h"

namespace hivora {

inline constexpr std::string_view kSysDirFrameCaption = " 目录位置 (当前用户)";
inline constexpr std::string_view kRegToFrameCaption = " 系统注册信息 - 注册到 ";
inline constexpr std::string_view kOwnerCaption = "注册全名=>>";
inline constexpr std::string_view kOrganisationCaption = "所属公司=>>";
inline constexpr std::string_view kComputerNameCaption = "计算机名=>>";

inline constexpr int kSysDirRowCount = 9;

// The caption of special-folder row `row` (0 to 8); "" outside.
std::string_view sysDirCaption(int row);
// The registry value name of row `row` ("Personal", "Favorites", ...); "" outside.
std::string_view sysDirValueName(int row);

// The operations the apply button of special-folder row `row` runs for the folder `stored` (as it
// is written); none outside 0..8.
std::vector<RegOp> sysDirWrites(int row, const std::string& stored);
// The operations the registration button runs for the three texts (an empty text writes nothing).
std::vector<RegOp> regToWrites(const std::string& owner, const std::string& organisation,
                               const std::string& computerName);

// The browse button: the folder browser titled "请选择文件夹：". The chosen folder, which
// replaces the text box's text, or nothing when the user cancelled (the box keeps its text).
// Writes nothing.
std::optional<std::string> runSysDirBrowse(CatalogueServices& services);

// The apply button of special-folder row `row`, with `boxText` the text box's text. The text
// is trimmed of blanks; empty, it ends silently (completed false). A folder that does not exist
// asks "目录不存在，是否继续？" (Yes/No); No ends silently. Then the folder (its Windows path when
// the store is a Wine prefix) is written to "User Shell Folders" (REG_EXPAND_SZ) and "Shell
// Folders" (REG_SZ), NeedsRestart is raised and "已设置！" shown ("设置出错！" when a write
// fails). The folder is never created. A row outside 0..8 does nothing and reports a failed
// status.
RowOutcome runSysDirApply(CatalogueServices& services, int row, const std::string& boxText);

// Why `name` cannot be a computer name, in Chinese for the user, or nothing when it can be: 1 to
// 15 characters, ASCII letters, digits and hyphens, not all digits.
std::optional<std::string> computerNameProblem(const std::string& name);

// The registration button. A computer name that is not empty is checked first: a bad one shows
// its problem (OK box titled "提示信息") and nothing at all is written (completed false). Then
// each text that is not empty (blanks count as text) is written as typed: the owner, the
// organisation, and the computer name to its six values. "已设置！" is shown only when the
// computer name was written; owner or organisation alone are written silently. A failed write
// shows "设置出错！". All three empty: nothing happens (completed false).
RowOutcome runRegToApply(CatalogueServices& services, const std::string& owner,
                         const std::string& organisation, const std::string& computerName);

}  // namespace hivora
