#include "app/hive_repair_prompt.h"

#ifndef _WIN32
#include "platform/posix/file_store.h"
#endif

namespace hivora {

int offerHiveRepairs(const std::string& storeFolder, DialogServices& dialogs) {
#ifdef _WIN32
    (void)storeFolder;
    (void)dialogs;
    return 0;
#else
    int repaired = 0;
    for (const RefusedHive& hive : listRefusedHives(storeFolder)) {
        std::string where = "注册表文件 " + hive.path;
        if (hive.line > 0) where += " 第 " + std::to_string(hive.line) + " 行";
        where += "无法读取：" + hive.reason + "。";
        if (!hive.repairable) {
            dialogs.ShowMessageBox(where + "\r\n此文件无法自动修复，本次运行中不会写入它。",
                                   kMbOk + kMbIconWarning, "Hivora");
            continue;
        }
        const int answer = dialogs.ShowMessageBox(
            where +
                "\r\n是否先备份此文件，再修复它（去掉无法读取的行，与 Wine 的做法相同）？\r\n"
                "选“否”则本次运行中不写入此文件，相关设置会显示“设置出错！”。",
            kMbYesNo + kMbIconQuestion, "Hivora");
        if (answer != kIdYes) continue;
        std::string backup;
        const Status result = repairHive(hive.path, {}, &backup);
        if (result.isOk()) {
            ++repaired;
            dialogs.ShowMessageBox("已修复 " + hive.path + "。\r\n原文件已备份为 " + backup + "。",
                                   kMbOk + kMbIconInformation, "Hivora");
        } else {
            dialogs.ShowMessageBox("修复失败，文件保持原样：\r\n" + result.message(),
                                   kMbOk + kMbIconError, "Hivora");
        }
    }
    return repaired;
#endif
}

}  // namespace hivora
