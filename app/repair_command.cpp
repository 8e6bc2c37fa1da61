#include "app/repair_command.h"

#include <cstdio>

#ifndef _WIN32
#include "platform/posix/file_store.h"
#endif

namespace hivora {

#ifdef _WIN32

int runRepairCommand(const std::string&) {
    std::fputs("--repair-hive 只用于 Wine 格式的注册表文件；Windows 上程序直接使用系统注册表。\n",
               stderr);
    return 1;
}

#else

int runRepairCommand(const std::string& path) {
    if (const std::optional<RefusedHive> hive = findRefusal(path); hive && hive->line > 0)
        std::printf("%s 第 %d 行无法读取：%s\n", path.c_str(), hive->line, hive->reason.c_str());
    std::string backup;
    const Status repaired = repairHive(path, {}, &backup);
    if (!repaired) {
        std::fprintf(stderr, "%s\n", repaired.message().c_str());
        return 1;
    }
    if (backup.empty()) {
        std::printf("%s 没有无法读取的行，无需修复。\n", path.c_str());
    } else {
        std::printf(
            "已修复 %s：无法读取的行已像 Wine 那样删去，其余内容不变。原文件已备份为 %s。\n",
            path.c_str(), backup.c_str());
    }
    return 0;
}

#endif

}  // namespace hivora
