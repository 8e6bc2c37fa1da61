#include "app/registry_choice.h"

#ifdef _WIN32
#include "platform/windows/registry_win32.h"
#else
#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#endif

namespace hivora {

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
    const std::string folder =
        options.storeDirectory.empty() ? defaultStoreDirectory() : options.storeDirectory;
    // A running server keeps the prefix's registry in memory and writes it back when it exits:
    // whatever the program wrote would be lost, so it does not start on such a prefix.
    if (wineserverRunning(folder)) {
        return Status::error("Wine 正在使用前缀 " + folder +
                                 "（wineserver 在运行），它退出时会用内存中的注册表覆盖 " + folder +
                                 "/system.reg、user.reg 和 userdef.reg。\n请先关闭该前缀中的 Wine "
                                 "程序（或运行 WINEPREFIX=\"" +
                                 folder + "\" wineserver -k），再启动 Hivora。\n没有写入任何内容。",
                             kErrorBusy);
    }
    auto store = openFileStore(folder, *choice.codec);
    if (!store) {
        return Status::error(store.status().message() +
                                 "\n请检查该文件的读取权限（或移走它），或者用 --prefix "
                                 "指定另一个目录。\n没有写入任何内容。",
                             store.status().code());
    }
    choice.registry = std::move(store).value();
    choice.description = folder;
#endif
    return choice;
}

}  // namespace hivora
