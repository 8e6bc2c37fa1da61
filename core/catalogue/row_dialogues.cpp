#include "core/catalogue/row_dialogues.h"

#include <string>

#include "core/catalogue/file_checks.h"
#include "core/catalogue/registry_locations.h"
#include "core/registry/number_text.h"
#include "core/registry/value_conversions.h"

namespace hivora {
namespace {

using namespace locations;

constexpr const char* kQuestionTitle = "提示信息";

bool saidYes(int answer) {
    return answer == kIdYes;
}

}  // namespace

std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::optional<std::vector<RegOp>> askTaskbarText(DialogueContext& context) {
    std::string& text = context.scratchText;
    text = context.dialogs.ShowInputBox("请输入你要显示的文字：", "格式显示时间");

    // The text goes in as a quoted literal, so that its letters (h, H, m, s, t) stay letters
    // instead of turning into fields of the time.
    std::string format;
    if (!text.empty()) {
        format = "'";
        for (char c : text) format += c == '\'' ? std::string("''") : std::string(1, c);
        format += "'";
    }
    if (saidYes(context.dialogs.ShowMessageBox("是否同时显示时间？", kMbYesNo, kQuestionTitle))) {
        const bool twelveHour = saidYes(
            context.dialogs.ShowMessageBox("是否以12小时制显示时间？", kMbYesNo, kQuestionTitle));
        format += twelveHour ? " h:mm tt" : " H:mm";
    }
    return std::vector<RegOp>{setString(kHkeyCurrentUser, kInternational, "sTimeFormat", format)};
}

std::optional<std::vector<RegOp>> askWallpaper(DialogueContext& context) {
    std::string& answer = context.scratchText;
    answer = context.dialogs.ShowOpenFileDialog(
        "所有图片(*.bmp;*.jpg;*.jpeg;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png");
    if (!FileExists(context.files, answer)) return std::nullopt;
    const std::string picture = pathForRegistry(context, answer);

    answer = context.dialogs.ShowInputBox(
        "请选择桌面背景的显示效果样式：0＝居中\r\n1＝平铺\r\n2＝拉伸\r\n", "style");
    const bool knownStyle = answer == "0" || answer == "1" || answer == "2";
    const std::string style = knownStyle ? answer : "0";

    return std::vector<RegOp>{
        setString(kHkeyCurrentUser, kSystemPolicies, "Wallpaper", picture),
        setString(kHkeyCurrentUser, kSystemPolicies, "WallpaperStyle", style),
    };
}

std::optional<std::vector<RegOp>> askWallpaperPosition(DialogueContext& context) {
    struct Coordinate {
        const char* prompt;
        const char* valueName;
    };
    static constexpr Coordinate kCoordinates[] = {
        {"请输入墙纸左侧的水平坐标值：(单位像素)", "WallpaperOriginX"},
        {"请输入墙纸顶端的垂直坐标值：(单位像素)", "WallpaperOriginY"},
    };

    std::vector<RegOp> ops;
    for (const Coordinate& coordinate : kCoordinates) {
        context.scratchText =
            context.dialogs.ShowInputBox(coordinate.prompt, "定位墙纸在桌面上的位置");
        if (context.scratchText.empty()) continue;
        ops.push_back(setString(kHkeyCurrentUser, kDesktopSettings, coordinate.valueName,
                                context.scratchText));
    }
    return ops;
}

std::optional<std::vector<RegOp>> askIconSize(DialogueContext& context) {
    constexpr std::int32_t kDefaultSize = 32;
    constexpr std::int32_t kSmallest = 16;
    constexpr std::int32_t kLargest = 64;

    context.scratchText = context.dialogs.ShowInputBox("请输入新的图标大小(范围16到64)：(默认为32)",
                                                       "改变桌面图标的大小");
    // Empty, not a number, or out of range: all give the default size.
    std::int32_t size =
        parseWholeNumber(context.scratchText, NumberWidth::Int32).value_or(kDefaultSize);
    if (size < kSmallest || size > kLargest) size = kDefaultSize;

    // The number-to-text form of a non-negative number: a leading blank, then the digits.
    const std::string text = " " + std::to_string(size);
    return std::vector<RegOp>{setString(kHkeyCurrentUser, kWindowMetrics, "Shell Icon Size", text)};
}

std::optional<std::vector<RegOp>> askHiddenDrives(DialogueContext& context) {
    static constexpr const char* kPrompt =
        "请输入你想隐藏的驱动器：(直接输入盘符，可输入多个,不分大小写) 例如：\r\n"
        "隐藏C盘，则输入C或c即可；\r\n"
        "隐藏C盘和D盘，则输入CD或cd即可；\r\n"
        "隐藏C盘和F盘，则输入CF或cf即可；\r\n"
        "隐藏所有驱动器请输入：-1";

    context.scratchText = trimBlanks(context.dialogs.ShowInputBox(kPrompt, "用户输入"));
    if (context.scratchText.empty()) return std::nullopt;
    return std::vector<RegOp>{setDword(kHkeyCurrentUser, kExplorerPolicies, "NoDrives",
                                       DriveLettersToMask(context.scratchText))};
}

}  // namespace hivora
