#include "app/registry_choice.h"

#ifdef _WIN32
#include "platform/windows/registry_win32.h"
#else
#include "platform/posix/file_store.h"
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
    auto store = openFileStore(folder, *choice.codec);
    if (!store) return store.status();
    choice.registry = std::move(store).value();
    choice.description = folder;
    choice.winePrefix = options.storeDirectory;
#endif
    return choice;
}

}  // namespace hivora
