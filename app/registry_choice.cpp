#include "app/registry_choice.h"

#ifdef _WIN32
#include "platform/windows/registry_win32.h"
#else
#include "platform/posix/file_store.h"
#include "platform/posix/hive_store.h"
#include "platform/posix/wineserver_probe.h"
#endif

#include <filesystem>
#include <map>

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

// The note for a reading command run while Wine holds the prefix: what it prints is what the files
// hold now, which Wine may replace at any moment.
std::string wineserverNote(const std::string& folder) {
    return "注意：Wine 正在使用前缀 " + folder +
           "（wineserver 在运行），它随时可能改写其中的注册表文件，以下内容可能已经过时。";
}

// A prefix named on the command line must be there: a folder that does not exist would read as a
// registry in which nothing is set, and the user would never learn of the typing mistake.
Status missingPrefixProblem(const Options& options) {
    if (options.storeDirectory.empty()) return Status::ok();
    std::error_code error;
    if (std::filesystem::is_directory(options.storeDirectory, error)) return Status::ok();
    if (std::filesystem::exists(options.storeDirectory, error))
        return Status::error("--prefix 指定的 " + options.storeDirectory + " 不是目录。",
                             kErrorFileNotFound);
    return Status::error("--prefix 指定的目录 " + options.storeDirectory + " 不存在。",
                         kErrorFileNotFound);
}

// The installation at `root`, found once per run: the window asks for it several times before its
// first frame (its users, the checks, the title) and again when it opens the store, and each
// search reads SOFTWARE's base block, bins and profile list.
const Result<WindowsInstallation>& installationAt(const std::string& root) {
    static std::map<std::string, Result<WindowsInstallation>> found;
    auto it = found.find(root);
    if (it == found.end()) it = found.emplace(root, findWindowsInstallation(root)).first;
    return it->second;
}

// The registry of an installed Windows (--windows): its hives, for the user --user names.
Result<RegistryChoice> chooseWindowsRegistry(const Options& options, RegistryUse use,
                                             RegistryChoice choice) {
    const auto& installation = installationAt(options.windowsRoot);
    if (!installation) return installation.status();
    auto user = chooseWindowsUser(installation.value(), options.windowsUser);
    if (!user) return user.status();
    WindowsStoreOptions storeOptions;
    storeOptions.readOnly = use == RegistryUse::Read;
    auto opened = openWindowsRegistry(installation.value(), user.value(), *choice.codec,
                                      std::move(storeOptions));
    if (!opened) return opened.status();
    choice.registry = std::move(opened.value().registry);
    // One journal per installation: the folder of its hives names it.
    choice.description = installation.value().hiveFolder;
    for (const std::string& warning : opened.value().warnings)
        choice.note += (choice.note.empty() ? "" : "\n") + warning;
    return choice;
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
    if (!options.windowsRoot.empty()) return windowsHiveFolder(options.windowsRoot);
    return options.storeDirectory.empty() ? defaultStoreDirectory() : options.storeDirectory;
#endif
}

bool isMountedInstallation(const Options& options) {
#ifdef _WIN32
    (void)options;
    return false;
#else
    if (options.windowsRoot.empty()) return false;
    const auto& installation = installationAt(options.windowsRoot);
    return installation && !installation.value().looseFolder;
#endif
}

PlatformServices platformServicesFor(const Options& options) {
    PlatformServices services = makePlatformServices(options.storeDirectory);
#ifndef _WIN32
    if (isMountedInstallation(options))
        services.paths = makeInstallationPathMapping(options.windowsRoot);
#endif
    return services;
}

std::vector<std::string> windowsUserNames(const Options& options) {
    std::vector<std::string> names;
#ifndef _WIN32
    if (options.windowsRoot.empty()) return names;
    const auto& installation = installationAt(options.windowsRoot);
    if (!installation) return names;
    for (const WindowsUser& user : installation.value().users) names.push_back(user.name);
#else
    (void)options;
#endif
    return names;
}

std::string windowsInstallationLabel(const Options& options) {
#ifdef _WIN32
    (void)options;
    return {};
#else
    if (options.windowsRoot.empty()) return {};
    const auto& installation = installationAt(options.windowsRoot);
    if (!installation) return {};
    std::string label = installation.value().describe();
    auto user = chooseWindowsUser(installation.value(), options.windowsUser);
    if (user && user.value()) label += " · 用户 " + user.value()->name;
    return label;
#endif
}

Status checkStoreUsable(const Options& options) {
#ifdef _WIN32
    (void)options;
    return Status::ok();
#else
    if (!options.windowsRoot.empty()) {
        // Only what opening reads first: the installation, its users and the hives' base blocks.
        const auto& installation = installationAt(options.windowsRoot);
        if (!installation) return installation.status();
        auto user = chooseWindowsUser(installation.value(), options.windowsUser);
        return user ? Status::ok() : user.status();
    }
    if (Status missing = missingPrefixProblem(options); !missing.isOk()) return missing;
    const std::string folder = storeFolder(options);
    if (Status busy = wineserverProblem(folder); !busy.isOk()) return busy;
    for (const char* name : kHiveFileNames) {
        const std::string path = folder + "/" + name;
        if (!stampOf(path).exists) continue;
        // Never opened as a stream: a FIFO in a hive's place would block the start for good.
        if (Status s = checkFileReadable(path); !s.isOk()) {
            return Status::error(
                "无法读取注册表文件 " + path + "：" + readFailureReason(s) + "。" + kWhatToDo,
                kErrorRegistryIoFailed);
        }
    }
    return Status::ok();
#endif
}

Result<RegistryChoice> chooseRegistry(const Options& options, RegistryUse use) {
    RegistryChoice choice;
#ifdef _WIN32
    (void)use;  // the real registry is Windows' own to guard
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
    if (!options.windowsRoot.empty()) return chooseWindowsRegistry(options, use, std::move(choice));
    if (Status missing = missingPrefixProblem(options); !missing.isOk()) return missing;
    const std::string folder = storeFolder(options);
    FileStoreOptions storeOptions;
    if (use == RegistryUse::Read) {
        storeOptions.readOnly = true;
        if (wineserverRunning(folder)) choice.note = wineserverNote(folder);
    } else if (Status busy = wineserverProblem(folder); !busy.isOk()) {
        return busy;
    }
    auto store = openFileStore(folder, *choice.codec, std::move(storeOptions));
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
