// The special-folder rows and the registration info.

#include "core/catalogue/system_info_page.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "core/catalogue/file_checks.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"

namespace hivora {
namespace {

using namespace locations;

struct SysDirRow {
    std::string_view caption;
    const char* valueName;
};

constexpr SysDirRow kSysDirRows[kSysDirRowCount] = {
    {"我的文档：", "Personal"},
    {"收 藏 夹：", "Favorites"},
    {"图片收藏：", "My Pictures"},
    {"我的视频：", "My Videos"},
    {"我的音乐：", "My Music"},
    {"我的桌面：", "Desktop"},
    {"浏览历史：", "History"},
    {"Cookies ：", "Cookies"},
    {"Internet 临时文件(Cache)：", "Cache"},
};

const SysDirRow* sysDirRow(int row) {
    if (row < 0 || row >= kSysDirRowCount) return nullptr;
    return &kSysDirRows[row];
}

// The six values that hold the computer name, in the order they are written.
struct NameValue {
    const char* key;
    const char* name;
};
constexpr NameValue kComputerNameValues[] = {
    {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", "ComputerName"},
    {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName"},
    {"System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "NV Hostname"},
    {"System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Hostname"},
    {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\winlogon",
     "AltDefaultDomainName"},
    {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\winlogon",
     "DefaultDomainName"},
};

constexpr std::size_t kLongestComputerName = 15;

}  // namespace

std::string_view sysDirCaption(int row) {
    const SysDirRow* found = sysDirRow(row);
    return found ? found->caption : std::string_view();
}

std::string_view sysDirValueName(int row) {
    const SysDirRow* found = sysDirRow(row);
    return found ? found->valueName : std::string_view();
}

std::vector<RegOp> sysDirWrites(int row, const std::string& stored) {
    const SysDirRow* found = sysDirRow(row);
    if (found == nullptr) return {};
    return {
        setExpandString(kHkeyCurrentUser, kUserShellFolders, found->valueName, stored),
        setString(kHkeyCurrentUser, kShellFolders, found->valueName, stored),
    };
}

std::vector<RegOp> regToWrites(const std::string& owner, const std::string& organisation,
                               const std::string& computerName) {
    std::vector<RegOp> ops;
    if (!owner.empty()) {
        ops.push_back(
            setString(kHkeyLocalMachine, kWindowsNtCurrentVersion, "RegisteredOwner", owner));
    }
    if (!organisation.empty()) {
        ops.push_back(setString(kHkeyLocalMachine, kWindowsNtCurrentVersion,
                                "RegisteredOrganization", organisation));
    }
    if (!computerName.empty()) {
        for (const NameValue& value : kComputerNameValues) {
            ops.push_back(setString(kHkeyLocalMachine, value.key, value.name, computerName));
        }
    }
    return ops;
}

std::optional<std::string> runSysDirBrowse(CatalogueServices& services) {
    std::string folder = services.framework.dialogs().BrowseForFolder("请选择文件夹：");
    if (folder.empty()) return std::nullopt;
    return folder;
}

RowOutcome runSysDirApply(CatalogueServices& services, int row, const std::string& boxText) {
    const SysDirRow* found = sysDirRow(row);
    if (found == nullptr) {
        RowOutcome outcome;
        outcome.status = Status::error("没有第 " + std::to_string(row) + " 行");
        return outcome;
    }
    std::string& folder = services.framework.ScratchText();
    folder = trimBlanks(boxText);
    if (folder.empty()) return {};

    const std::unique_ptr<PathMapping> identity =
        services.paths ? nullptr : makeIdentityPathMapping();
    const PathMapping& paths = services.paths ? *services.paths : *identity;
    if (!FolderExists(MappedFileSystem(services.files, paths), folder)) {
        const int answer =
            services.framework.dialogs().ShowMessageBox("目录不存在，是否继续？", kMbYesNo, "");
        if (answer == kIdNo) return {};
    }
    const std::vector<RegOp> ops = sysDirWrites(row, paths.windowsPath(folder));
    const ButtonAction action{ops, nullptr, OutcomeMessage::SetDone, true};
    return runButtonAction(services, action, false,
                           {"systemFolders", row, "change", std::string(sysDirCaption(row))});
}

std::optional<std::string> computerNameProblem(const std::string& name) {
    const auto allowed = [](unsigned char c) { return std::isalnum(c) || c == '-'; };
    const auto digit = [](unsigned char c) { return std::isdigit(c) != 0; };
    const bool fits = !name.empty() && name.size() <= kLongestComputerName &&
                      std::all_of(name.begin(), name.end(), allowed) &&
                      !std::all_of(name.begin(), name.end(), digit) &&
                      name.front() != '-' && name.back() != '-';  // a DNS label's ends
    if (fits) return std::nullopt;
    return "计算机名“" + name +
           "”无效：计算机名须为 1 到 15 个字符，只能包含英文字母、数字和连字符(-)，不能全是数字，也不能以连字符开头或结尾。"
           "注册信息未作任何更改。";
}

RowOutcome runRegToApply(CatalogueServices& services, const std::string& owner,
                         const std::string& organisation, const std::string& computerName) {
    if (!computerName.empty()) {
        if (const auto problem = computerNameProblem(computerName)) {
            services.framework.ScratchText() = *problem;
            (void)services.framework.dialogs().ShowMessageBox(*problem, kMbOk,
                                                              std::string(kOutcomeTitle));
            RowOutcome outcome;
            outcome.status = Status::error(*problem);
            return outcome;
        }
    }
    const std::vector<RegOp> ops = regToWrites(owner, organisation, computerName);
    if (ops.empty()) return {};
    // Only the computer name is confirmed; the owner and organisation alone are written silently.
    const OutcomeMessage confirm =
        computerName.empty() ? OutcomeMessage::None : OutcomeMessage::SetDone;
    const ButtonAction action{ops, nullptr, confirm, false};
    return runButtonAction(services, action, false, {"registration", -1, "apply", "注册信息"});
}

}  // namespace hivora
