#include "app/options.h"

#include <charconv>

namespace hivora {

const char* const kUsageText =
    "用法：hivora [--prefix 目录] [--code-page 代码页] [--repair-hive 文件] "
    "[--history | --undo | --redo] [--status]\n"
    "       [--export reg|ps1|ansible 文件 [--entries N-M]] [--import-reg 文件]\n"
    "       [--startup | --startup-off 名称 | --startup-on 名称]\n"
    "       [--windows 目录 [--user 用户名]]\n"
    "  --prefix 目录       修改该 Wine 前缀中的注册表（system.reg、user.reg、userdef.reg），\n"
    "                      默认使用程序自己的注册表目录\n"
    "  --windows 目录      修改已安装的 Windows 自己的注册表文件：目录是挂载的 Windows 系统分区\n"
    "                      （含 Windows/System32/config），或存放注册表文件副本的目录\n"
    "  --user 用户名       与 --windows 一起使用：修改该用户的 HKEY_CURRENT_USER；\n"
    "                      有多个用户而未指定时，命令行列出用户后退出，窗口则询问\n"
    "  --code-page 代码页  写入注册表的 ANSI 代码页，默认 936\n"
    "  --repair-hive 文件  修复含有无法读取的行的注册表文件（先备份原文件），然后退出\n"
    "  --history           列出该注册表的操作记录（最新的在前，各项以制表符分隔）\n"
    "  --undo              撤销最近一次尚未撤销的操作（再次使用时撤销更早的一次）\n"
    "  --redo              重做最近一次撤销的操作\n"
    "  --export 格式 文件  把操作记录中的修改导出为 .reg（reg）、PowerShell 脚本（ps1）或\n"
    "                      Ansible 任务（ansible），默认导出所有未撤销的操作；密码不导出\n"
    "  --entries N-M       只导出编号 N 到 M 的记录（编号见 --history）\n"
    "  --import-reg 文件   把 .reg 文件（版本 5 或 REGEDIT4）写入该注册表，记为一次可撤销的操作\n"
    "  --status            不开窗口，逐行列出各设置的当前状态（页面、说明、状态、所填的值、\n"
    "                      在该注册表的 Windows 版本上是否有效，以制表符分隔）\n"
    "  --startup           不开窗口，列出所有开机启动项（位置、名称、命令、on/off、\n"
    "                      程序文件 missing/ok，以制表符分隔）\n"
    "  --startup-off 名称  禁用该名称的开机启动项（保留该项，可再启用），记为可撤销的操作\n"
    "  --startup-on 名称   重新启用该名称的开机启动项\n"
    "  --help              显示本说明\n"
    "  --version           显示版本\n";

const char* const kVersionText = "Hivora 1.0\n";

namespace {

// "N-M" with 1 <= N <= M.
bool parseEntryRange(const std::string& text, std::int64_t& first, std::int64_t& last) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    const char* begin = text.data();
    auto [mid, ec1] = std::from_chars(begin, begin + dash, first);
    auto [end, ec2] = std::from_chars(begin + dash + 1, begin + text.size(), last);
    return ec1 == std::errc() && mid == begin + dash && ec2 == std::errc() &&
           end == begin + text.size() && first >= 1 && first <= last;
}

bool parseCodePage(const std::string& text, std::uint32_t& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out > 0 && out <= 65535;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--help" || word == "-h") {
            parsed.options.showHelp = true;
        } else if (word == "--version" || word == "-V") {
            parsed.options.showVersion = true;
        } else if (word == "--history") {
            parsed.options.showHistory = true;
        } else if (word == "--undo") {
            parsed.options.undoLatest = true;
        } else if (word == "--redo") {
            parsed.options.redoLatest = true;
        } else if (word == "--status") {
            parsed.options.printStatus = true;
        } else if (word == "--startup") {
            parsed.options.listStartup = true;
        } else if (word == "--startup-off" || word == "--startup-on") {
            if (!hasValue || args[i + 1].empty()) {
                parsed.error = "选项 " + word + " 后面需要一个启动项的名称。";
                return parsed;
            }
            (word == "--startup-off" ? parsed.options.startupOff : parsed.options.startupOn) =
                args[++i];
        } else if (word == "--prefix" || word == "--store") {
            if (!hasValue || args[i + 1].empty()) {
                parsed.error = "选项 " + word + " 后面需要一个目录。";
                return parsed;
            }
            parsed.options.storeDirectory = args[++i];
        } else if (word == "--windows" || word == "--user") {
            if (!hasValue || args[i + 1].empty()) {
                parsed.error = word == "--windows" ? "选项 --windows 后面需要一个目录。"
                                                   : "选项 --user 后面需要一个用户名。";
                return parsed;
            }
            (word == "--windows" ? parsed.options.windowsRoot : parsed.options.windowsUser) =
                args[++i];
        } else if (word == "--repair-hive") {
            if (!hasValue || args[i + 1].empty()) {
                parsed.error = "选项 --repair-hive 后面需要一个注册表文件。";
                return parsed;
            }
            parsed.options.repairHive = args[++i];
        } else if (word == "--export") {
            if (i + 2 >= args.size() || args[i + 2].empty() ||
                (args[i + 1] != "reg" && args[i + 1] != "ps1" && args[i + 1] != "ansible")) {
                parsed.error = "选项 --export 后面需要格式（reg、ps1 或 ansible）和文件名。";
                return parsed;
            }
            parsed.options.exportFormat = args[i + 1];
            parsed.options.exportFile = args[i + 2];
            i += 2;
        } else if (word == "--entries") {
            if (!hasValue || !parseEntryRange(args[i + 1], parsed.options.firstEntry,
                                              parsed.options.lastEntry)) {
                parsed.error = "选项 --entries 后面需要记录编号范围，例如 3-7。";
                return parsed;
            }
            ++i;
        } else if (word == "--import-reg") {
            if (!hasValue || args[i + 1].empty()) {
                parsed.error = "选项 --import-reg 后面需要一个 .reg 文件。";
                return parsed;
            }
            parsed.options.importReg = args[++i];
        } else if (word == "--code-page") {
            if (!hasValue || !parseCodePage(args[i + 1], parsed.options.codePage)) {
                parsed.error = "选项 --code-page 后面需要一个代码页编号，例如 936。";
                return parsed;
            }
            ++i;
        } else {
            parsed.error = "无法识别的选项：" + word;
            return parsed;
        }
    }
    const Options& o = parsed.options;
    if (static_cast<int>(o.showHistory) + static_cast<int>(o.undoLatest) +
            static_cast<int>(o.redoLatest) >
        1)
        parsed.error = "选项 --history、--undo 和 --redo 只能使用其中一个。";
    else if (o.firstEntry != 0 && o.exportFormat.empty())
        parsed.error = "选项 --entries 只能与 --export 一起使用。";
    else if (!o.exportFormat.empty() && !o.importReg.empty())
        parsed.error = "选项 --export 和 --import-reg 只能使用其中一个。";
    else if (static_cast<int>(o.listStartup) + static_cast<int>(!o.startupOff.empty()) +
                 static_cast<int>(!o.startupOn.empty()) >
             1)
        parsed.error = "选项 --startup、--startup-off 和 --startup-on 只能使用其中一个。";
    else if (!o.windowsRoot.empty() && !o.storeDirectory.empty())
        parsed.error = "选项 --windows 和 --prefix 只能使用其中一个。";
    else if (!o.windowsUser.empty() && o.windowsRoot.empty())
        parsed.error = "选项 --user 只能与 --windows 一起使用。";
    return parsed;
}

}  // namespace hivora
