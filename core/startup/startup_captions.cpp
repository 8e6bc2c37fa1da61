#include "core/startup/startup_captions.h"

namespace hivora {

std::string startupNameCaption(const StartupRow& row) {
    std::string caption = row.on ? kOnMark : kOffMark;
    if (row.missing) caption += kMissingMark;
    caption += ' ';
    caption += row.name;
    return caption;
}

void startupNameCaptionAtMost(const StartupRow& row, std::string& out) {
    out.assign(row.on ? kOnMark : kOffMark);
    out += kMissingMark;
    out += ' ';
    out += row.name;
}

std::string startupNameCaptionAtMost(const StartupRow& row) {
    std::string caption;
    startupNameCaptionAtMost(row, caption);
    return caption;
}

void startupDataCaption(const StartupRow& row, std::string& out) {
    out.assign("[");
    out += row.where().tag;
    out += "] ";
    out += row.text;
}

std::string startupDataCaption(const StartupRow& row) {
    std::string caption;
    startupDataCaption(row, caption);
    return caption;
}

std::vector<std::string> startupTooltipLines(const StartupRow& row) {
    const StartupSource& where = row.where();
    std::vector<std::string> lines;
    if (!row.text.empty()) lines.push_back(row.text);
    if (where.keyPath != nullptr)
        lines.push_back(std::string(rootName(row.root)) + "\\" + where.keyPath);
    if (!row.on) {
        lines.push_back(where.backup ? "已禁用（移至本程序的备份位置）"
                                     : "已禁用（StartupApproved，与任务管理器相同）");
    }
    if (row.missing) lines.push_back("文件不存在：" + row.missingPath);
    if (where.place == StartupPlace::Winlogon)
        lines.push_back("此项不能禁用；右键菜单的“恢复默认”（或删除）把它改回 Windows 的默认值。");
    return lines;
}

const char* startupStateWord(const StartupRow& row) {
    return row.on ? "on" : "off";
}

std::vector<StartupMenuItem> startupRowMenu(const StartupRow& row, StartupSwitchRule rule) {
    const bool present = row.key != kRemovedRowKey;
    const StartupSource& where = row.where();
    if (where.place == StartupPlace::Winlogon) {
        return {{StartupRowCommand::RestoreDefault, "恢复默认", present}};
    }
    (void)rule;  // every other place switches under either rule
    return {{StartupRowCommand::SwitchOff, "禁用", present && row.on},
            {StartupRowCommand::SwitchOn, "启用", present && !row.on}};
}

}  // namespace hivora
