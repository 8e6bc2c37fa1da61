#pragma once
// What the startup list shows of a row, in words rather than colour: the on/off and missing marks
// before the name, the place before the command, and the tooltip's lines.

#include <string>
#include <vector>

#include "core/startup/startup_list.h"

namespace hivora {

inline constexpr char kOnMark[] = "[启]";
inline constexpr char kOffMark[] = "[停]";
inline constexpr char kMissingMark[] = "[缺]";

// "[启] name", "[停] name", with "[缺]" after the state when the program file is missing.
std::string startupNameCaption(const StartupRow& row);
// The name caption at its widest, as if the program were missing: a view lays its columns out by
// it before the rows' marks are worked out.
std::string startupNameCaptionAtMost(const StartupRow& row);
// "[HKCU\Run] command".
std::string startupDataCaption(const StartupRow& row);
// The same two captions written over `out`, whose storage a caller measuring many rows reuses.
void startupNameCaptionAtMost(const StartupRow& row, std::string& out);
void startupDataCaption(const StartupRow& row, std::string& out);
// The tooltip's lines: the command, the key (or folder) it lives in, whether it is switched off
// and how, "文件不存在：<path>" when missing, and what 删除 does to Winlogon's rows.
std::vector<std::string> startupTooltipLines(const StartupRow& row);
// "on" or "off", as scripts read them.
const char* startupStateWord(const StartupRow& row);

// The commands the row's context menu offers.
enum class StartupRowCommand { SwitchOff, SwitchOn, RestoreDefault };

struct StartupMenuItem {
    StartupRowCommand command;
    const char* label;  // "禁用", "启用", "恢复默认"
    bool enabled;
};

// The context menu of `row` under `rule`, in the order shown. Winlogon's Shell and Userinit,
// which are never switched off, offer only "恢复默认". Other rows offer "禁用" (enabled while
// the entry is on) and "启用" (while it is off); a Startup-folder shortcut can be switched only
// where StartupApproved is read, and a removed row offers nothing enabled.
std::vector<StartupMenuItem> startupRowMenu(const StartupRow& row, StartupSwitchRule rule);

}  // namespace hivora
