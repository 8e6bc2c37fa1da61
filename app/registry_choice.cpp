#include "app/registry_choice.h"

#ifdef _WIN32
#include "platform/windows/registry_win32.h"
#else
#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#endif

#include <filesystem>
#include <fstream>

namespace hivora {

namespace {

#ifndef _WIN32
// A running server keeps the prefix's registry in memory and writes it back when it exits:
// whatever the program wrote would be lost, so the program does not work on such a prefix.
Status wineserverProblem(const std::string& folder) {
    if (!wineserverRunning(folder)) return Status::ok();
    return Status::error("Wine 正在使用前缀 " + folder +
                             "（wineserver 在运行），它退出时会用内存中的注册表覆盖 " + folder +
                             "/system.reg、user.reg 和 userdef.reg。\n请先关闭该前缀中的 Wine "
                             "程序（或运行 WINEPREFIX=\"" +
                             folder + "\" wineserver -k），再启动 Hivora。\n没有写入任何内容。",
                         kErrorBusy);
}

constexpr const char* kWhatToDo =
    "\n请检查该文件的读取权限（或移走它），或者用 --prefix 指定另一个目录。\n没有写入任何内容。";
#endif

}  // namespace

std::string storeFolder(const Options& options) {
#ifdef _WIN32
    (void)options;
    return {};
#else
    return options.storeDirectory.empty() ? defaultStoreDirectory() : options.storeDirectory;
#endif
}

Status checkStoreUsable(const Options& options) {
#ifdef _WIN32
    (void)options;
    return Status::ok();
#else
    const std::string folder = storeFolder(options);
    if (Status busy = wineserverProblem(folder); !busy.isOk()) return busy;
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
        const std::filesystem::path path = std::filesystem::path(folder) / name;
        std::error_code error;
        if (!std::filesystem::exists(path, error)) continue;
        std::ifstream file(path, std::ios::binary);
        char probe = 0;
        const bool readable = std::filesystem::is_regular_file(path, error) && file &&
                              (file.read(&probe, 1) || file.eof());
        if (!readable) {
            return Status::error("无法读取注册表文件 " + path.string() + "。" + kWhatToDo,
                                 kErrorRegistryIoFailed);
        }
    }
    return Status::ok();
#endif
}

Result<RegistryChoice> chooseRegistry(const Options& options) {
    RegistryChoice choice;
#ifdef _WIN32
    // The real registry converts texts itself with the system's code page; the codec serves the
    // profile files and the layer.
    auto codec = makeAnsiCodec(systemAnsiCodePage());
    if (!codec) return codec.status();
    choice.codec = std::move(codec).value();
    choice.registry = makeWin32Registry();
    choice.description = "Windows 注册表";
#else
    const std::uint32_t codePage = options.codePage != 0 ? options.codePage : kDefaultCodePage;
    auto codec = makeAnsiCodec(codePage);
    if (!codec) {
        return Status::error("本机无法转换代码页 " + std::to_string(codePage) + "：" +
                             codec.status().message());
    }
    choice.codec = std::move(codec).value();
    const std::string folder = storeFolder(options);
    if (Status busy = wineserverProblem(folder); !busy.isOk()) return busy;
    auto store = openFileStore(folder, *choice.codec);
    if (!store) {
        return Status::error(store.status().message() + kWhatToDo, store.status().code());
    }
    choice.registry = std::move(store).value();
    choice.description = folder;
    choice.winePrefix = options.storeDirectory;
#endif
    return choice;
}

}  // namespace hivora
