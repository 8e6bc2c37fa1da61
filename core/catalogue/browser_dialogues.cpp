#include "core/catalogue/browser_dialogues.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/catalogue/file_checks.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"

namespace hivora {
namespace {

using namespace locations;

constexpr const char* kBrowseUiFile = "\\BROWSEUI.DLL";
constexpr const char* kAliasTitle = "定制IE地址";
constexpr const char* kAliasExplanation =
    "用过IE的人都遇到过“取消操作”提示，还有“Web页不可脱机使用”，“警告：网页已经过期”等情况，但是你"
    "有没有注意到出现提示页时地址栏中显示的是什么，URL为“about:xxxxxxx”。about是除了“http”、“ftp”"
    "、“mailto”、“gopher”外的特殊协议，利用它可以使用别名调阅特定的网页，比如IE的空白页，则在URL栏"
    "中打入about:blank即可，blank即为空白页的别名。"
    "\r\n\r\n是否继续？";

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether the address bar's server already is what row 4 writes: a quoted "rem ...BROWSEUI.DLL"
// (in any letter case, for any system directory).
bool isAddressBarReplacement(const std::string& value) {
    const std::string lower = lowerAscii(value);
    const std::string ending = lowerAscii(kBrowseUiFile) + "\"";
    return lower.starts_with("\"rem ") && lower.ends_with(ending);
}

std::string readExpandString(DialogueContext& context, const char* name) {
    std::int32_t errorFlag = 0;
    return context.layer->GetRegExpandString(kHkeyClassesRoot, kBrowseUiServer, name, kKeyAllAccess,
                                             errorFlag);
}

bool userGoesOn(DialogueContext& context) {
    return context.dialogs.ShowMessageBox(kAliasExplanation, kMbYesNo, "") == kIdYes;
}

// Asks with `prompt` and keeps the trimmed answer in the scratch slot.
const std::string& askTrimmed(DialogueContext& context, const char* prompt, const char* title) {
    context.scratchText = trimBlanks(context.dialogs.ShowInputBox(prompt, title));
    return context.scratchText;
}

}  // namespace

std::optional<std::vector<RegOp>> askAddressBarHidden(DialogueContext& context) {
    const std::string& folder = context.systemDirectory;
    if (folder.empty() || !FileExists(context.files, folder + kBrowseUiFile)) {
        context.scratchText = "失败！";
        (void)context.dialogs.ShowMessageBox(context.scratchText, kMbOk, "");
        return std::nullopt;
    }
    // A missing value, or one of another type, reads as "".
    context.scratchText = readExpandString(context, "");
    std::vector<RegOp> ops;
    if (!isAddressBarReplacement(context.scratchText)) {
        ops.push_back(
            setExpandString(kHkeyClassesRoot, kBrowseUiServer, "temp", context.scratchText));
    }
    ops.push_back(setExpandString(kHkeyClassesRoot, kBrowseUiServer, "",
                                  "\"rem " + folder + kBrowseUiFile + "\""));
    return ops;
}

std::optional<std::vector<RegOp>> askAddressBarRestored(DialogueContext& context) {
    context.scratchText = readExpandString(context, "temp");
    if (context.scratchText.empty()) return std::vector<RegOp>{};
    return std::vector<RegOp>{
        setExpandString(kHkeyClassesRoot, kBrowseUiServer, "", context.scratchText)};
}

std::optional<std::vector<RegOp>> askAliasAdded(DialogueContext& context) {
    if (!userGoesOn(context)) return std::nullopt;
    const std::string alias = askTrimmed(context, "请输入别名：", kAliasTitle);
    if (alias.empty()) return std::nullopt;
    const std::string address =
        askTrimmed(context, "请输入地址：(是网页，则输入完整，是本地，则填上路径)", kAliasTitle);
    if (address.empty()) return std::nullopt;
    return std::vector<RegOp>{
        setString(kHkeyLocalMachine, kBrowserAboutUrls, alias, pathForRegistry(context, address))};
}

std::optional<std::vector<RegOp>> askAliasRemoved(DialogueContext& context) {
    if (!userGoesOn(context)) return std::nullopt;
    const std::string alias = askTrimmed(context, "请输入待删除的别名：", kAliasTitle);
    if (alias.empty()) return std::nullopt;
    return std::vector<RegOp>{deleteValue(kHkeyLocalMachine, kBrowserAboutUrls, alias)};
}

std::optional<std::vector<RegOp>> askToolbarPicture(DialogueContext& context) {
    context.scratchText = context.dialogs.ShowOpenFileDialog(
        "图片|*.bmp;*.jpg;*.jpeg;*.gif;*.png|所有文件(ALL FILES)|*.*");
    if (context.scratchText.empty()) return std::nullopt;
    if (!FileExists(context.files, context.scratchText)) {
        context.failure = Status::error("文件不存在：" + context.scratchText);
        return std::vector<RegOp>{};
    }
    const std::string picture = pathForRegistry(context, context.scratchText);
    return std::vector<RegOp>{
        setString(kHkeyCurrentUser, kBrowserToolbar, "backbitmapIE5", picture),
        setString(kHkeyCurrentUser, kBrowserToolbar, "backbitmap", picture),
    };
}

std::optional<std::vector<RegOp>> askLinksFolderName(DialogueContext& context) {
    const std::string text = askTrimmed(context, "请输入相关的文字信息：", "用户输入");
    if (text.empty()) return std::nullopt;
    return std::vector<RegOp>{
        setString(kHkeyCurrentUser, kBrowserToolbarPolicies, "LinksFolderName", text)};
}

}  // namespace hivora
