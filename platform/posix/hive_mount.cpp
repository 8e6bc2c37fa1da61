#include "platform/posix/hive_mount.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/hive_cells.h"
#include "platform/posix/hive_file.h"
#include "platform/posix/hivex_tree.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

const KeyPath kCurrentVersion = {u"Microsoft", u"Windows NT", u"CurrentVersion"};

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
bool isFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The entry of `folder` named `name` in any case; an exact match wins over others.
std::string findEntry(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == "..") return {};
    const std::string exact = folder + "/" + name;
    struct stat info {};
    if (::lstat(exact.c_str(), &info) == 0) return exact;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = folder + "/" + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string text(const std::optional<HiveValue>& value) {
    if (!value || (value->type != 1 && value->type != 2)) return {};
    std::u16string units =
        fromUtf16Le(reinterpret_cast<const std::uint8_t*>(value->data.data()), value->data.size());
    while (!units.empty() && units.back() == u'\0') units.pop_back();
    return utf16ToUtf8(units).valueOr("");
}

std::string usrClassFor(const std::string& profile) {
    for (const char* relative :
         {"AppData/Local/Microsoft/Windows/UsrClass.dat",
          "Local Settings/Application Data/Microsoft/Windows/UsrClass.dat"}) {
        const std::string found = findPathIgnoringCase(profile, relative);
        if (isFile(found)) return found;
    }
    return {};
}

// Reads the version and the profiles from SOFTWARE, straight from the mapped file: libhivex
// would check the whole hive first, which for a large SOFTWARE delays the window's first frame.
void readSoftware(WindowsInstallation& w) {
    if (w.software.empty()) return;
    const auto mapped = MappedHive::open(w.software);
    if (!mapped) return;
    const HiveCells cells = mapped->cells();
    const std::uint64_t currentVersion = cells.find(cells.root(), kCurrentVersion);
    TreeKey version;
    if (currentVersion == 0 || !cells.readValues(currentVersion, version)) return;
    auto value = [&version](const char16_t* name) -> std::optional<HiveValue> {
        const TreeValue* v = version.findValue(name);
        if (!v) return std::nullopt;
        return HiveValue{v->type, std::string(v->data.begin(), v->data.end())};
    };
    w.edition = text(value(u"ProductName"));
    for (const char16_t* name : {u"DisplayVersion", u"ReleaseId", u"CurrentVersion"}) {
        w.version = text(value(name));
        if (!w.version.empty()) break;
    }
    w.build = text(value(u"CurrentBuild"));
    if (w.build.empty()) w.build = text(value(u"CurrentBuildNumber"));
    const auto ubr = value(u"UBR");
    if (!w.build.empty() && ubr && ubr->type == 4 && ubr->data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(ubr->data[i]);
        w.build += "." + std::to_string(n);
    }

    const std::uint64_t profiles = cells.find(currentVersion, {u"ProfileList"});
    if (profiles == 0) return;
    for (const std::uint64_t entry : cells.children(profiles)) {
        const auto sid = cells.keyName(entry);
        const std::string sidText = sid ? utf16ToUtf8(*sid).valueOr("") : std::string();
        // Only real users: the service accounts (S-1-5-18, -19, -20) have no place in the list.
        if (sidText.rfind("S-1-5-21-", 0) != 0) continue;
        TreeKey profile;
        if (!cells.readValues(entry, profile)) continue;
        const TreeValue* imageValue = profile.findValue(u"ProfileImagePath");
        const std::string image =
            imageValue ? text(HiveValue{imageValue->type, std::string(imageValue->data.begin(),
                                                                      imageValue->data.end())})
                       : std::string();
        if (w.looseFolder) {
            // Loose copies carry no profile folders; the sub-folder's name is matched instead.
            const std::size_t cut = image.find_last_of('\\');
            const std::string name = cut == std::string::npos ? image : image.substr(cut + 1);
            for (WindowsUser& user : w.users)
                if (user.sid.empty() && ::strcasecmp(user.name.c_str(), name.c_str()) == 0)
                    user.sid = sidText;
            continue;
        }
        const std::string folder = mapWindowsPath(w.root, image);
        const std::string ntuser = isFolder(folder) ? findEntry(folder, "NTUSER.DAT") : "";
        if (!isFile(ntuser)) continue;
        const std::size_t cut = folder.rfind('/');
        w.users.push_back({folder.substr(cut + 1), sidText, ntuser, usrClassFor(folder)});
    }
}

void findLooseUsers(WindowsInstallation& w) {
    const std::string here = findEntry(w.hiveFolder, "NTUSER.DAT");
    if (isFile(here)) {
        const std::string classes = findEntry(w.hiveFolder, "UsrClass.dat");
        const std::size_t cut = w.hiveFolder.find_last_of('/');
        w.users.push_back({cut == std::string::npos ? w.hiveFolder : w.hiveFolder.substr(cut + 1),
                           "", here, isFile(classes) ? classes : ""});
    }
    for (const std::string& name : folderEntries(w.hiveFolder)) {
        const std::string sub = w.hiveFolder + "/" + name;
        if (!isFolder(sub)) continue;
        const std::string ntuser = findEntry(sub, "NTUSER.DAT");
        if (!isFile(ntuser)) continue;
        const std::string classes = findEntry(sub, "UsrClass.dat");
        w.users.push_back({name, "", ntuser, isFile(classes) ? classes : ""});
    }
}

}  // namespace

std::string WindowsInstallation::describe() const {
    std::string out = edition.empty() ? std::string("Windows") : edition;
    if (!version.empty()) out += " " + version;
    if (!build.empty()) out += "（内部版本 " + build + "）";
    return out;
}

std::string findPathIgnoringCase(const std::string& root, const std::string& relative) {
    std::string at = root;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        const std::string name = relative.substr(start, end - start);
        if (!name.empty()) {
            at = findEntry(at, name);
            if (at.empty()) return {};
        }
        start = end + 1;
    }
    return at;
}

std::string mapWindowsPath(const std::string& root, const std::string& windowsPath) {
    std::string path = windowsPath;
    const std::string drive = "%SystemDrive%";
    if (path.size() >= drive.size() &&
        ::strncasecmp(path.c_str(), drive.c_str(), drive.size()) == 0)
        path = path.substr(drive.size());
    else if (path.size() >= 2 && path[1] == ':')
        path = path.substr(2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return findPathIgnoringCase(root, path);
}

std::string windowsHiveFolder(const std::string& dir) {
    const std::string config = findPathIgnoringCase(dir, "Windows/System32/config");
    return isFolder(config) ? config : dir;
}

Result<const WindowsUser*> chooseWindowsUser(const WindowsInstallation& w,
                                             const std::string& name) {
    for (const WindowsUser& user : w.users) {
        if (!name.empty() && (::strcasecmp(user.name.c_str(), name.c_str()) == 0 ||
                              ::strcasecmp(user.sid.c_str(), name.c_str()) == 0))
            return &user;
    }
    if (name.empty() && w.users.size() <= 1) return w.users.empty() ? nullptr : &w.users.front();
    std::string message =
        name.empty() ? "这个 Windows 有多个用户，请用 --user 指定其中一个：\n"
                     : "这个 Windows 中没有用户 " + name + "。请用 --user 指定以下用户之一：\n";
    for (const WindowsUser& user : w.users) message += "  " + user.name + "\n";
    if (w.users.empty()) message += "  （没有找到任何用户的 NTUSER.DAT）\n";
    return Status::error(message, 2);
}

Result<WindowsInstallation> findWindowsInstallation(const std::string& dir) {
    if (!isFolder(dir)) return Status::error("--windows 指定的 " + dir + " 不存在或不是目录。", 2);
    WindowsInstallation w;
    w.root = dir;
    const std::string config = findPathIgnoringCase(dir, "Windows/System32/config");
    w.looseFolder = !isFolder(config);
    w.hiveFolder = w.looseFolder ? dir : config;
    auto hive = [&](const char* name) {
        const std::string path = findEntry(w.hiveFolder, name);
        return isFile(path) ? path : std::string();
    };
    w.software = hive("SOFTWARE");
    w.system = hive("SYSTEM");
    w.defaultHive = hive("DEFAULT");
    if (w.looseFolder) findLooseUsers(w);
    if (w.software.empty() && w.system.empty() && w.defaultHive.empty() && w.users.empty()) {
        return Status::error("在 " + dir +
                                 " 中既没有找到 Windows/System32/config 目录，也没有找到注册表"
                                 "文件（SOFTWARE、SYSTEM、DEFAULT、NTUSER.DAT）。\n请指定 Windows "
                                 "系统分区挂载的目录，或存放注册表文件副本的目录。",
                             2);
    }
    readSoftware(w);
    return w;
}

std::string volumeWriteProblem(const WindowsInstallation& w, const VolumeChecks& checks) {
    const std::string hiber = findEntry(w.root, "hiberfil.sys");
    if (isFile(hiber)) {
        char signature[4] = {};
        const int fd = ::open(hiber.c_str(), O_RDONLY | O_CLOEXEC);
        const bool read = fd >= 0 && ::pread(fd, signature, 4, 0) == 4;
        if (fd >= 0) ::close(fd);
        for (const char* known : {"hibr", "wake", "rstr"}) {
            if (read && ::strncasecmp(signature, known, 4) == 0) {
                return "这个 Windows 处于休眠状态，或是用“快速启动”关机的（" + hiber +
                       " 中有休眠数据）：它下次启动时会恢复旧的注册表，覆盖这里的修改。\n请启动"
                       "这个 Windows，然后完全关机（按住 Shift 再点“关机”，或运行 shutdown /s "
                       "/t 0），或关闭“快速启动”后再关机，再用 Hivora 修改。";
            }
        }
    }
    bool readOnly = false;
    if (checks.mountedReadOnly) {
        readOnly = checks.mountedReadOnly(w.hiveFolder);
    } else {
        struct statvfs info {};
        readOnly = ::statvfs(w.hiveFolder.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY) != 0;
    }
    if (readOnly) {
        return "存放注册表文件的 " + w.hiveFolder +
               " 所在的分区是以只读方式挂载的。\n请以读写方式重新挂载该分区（例如 sudo mount -o "
               "remount,rw <挂载点>），再运行 Hivora。";
    }
    return {};
}

}  // namespace hivora
