#pragma once
// The three colours of the program's own interface, kept in section "Color" of "config.ini"
// beside the program: Font_Color, Back_Color and Border_Color, each a colour value 0x00BBGGRR
// written as a number. A missing file, key or value means the key's default; any other value
// that is not a signed 32-bit number is a bad value, which stops the program at start-up with a
// warning.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/ini_access.h"
#include "platform/status.h"

namespace hivora {

inline constexpr char kConfigFileName[] = "config.ini";
inline constexpr char kColorSection[] = "Color";

struct ColorSetting {
    const char* key;
    std::int32_t defaultValue;
};

// In the order they are read.
inline constexpr std::array<ColorSetting, 3> kColorSettings = {{
    {"Font_Color", 0},
    {"Back_Color", 14001242},  // 0xD5A45A: red 90, green 164, blue 213
    {"Border_Color", 0},
}};

// The warning for a bad value, shown before the program ends (buttons: OK with the warning icon).
inline constexpr char kBadConfigPrompt[] = "程序出错，可能是配置信息没有正确修改，请尝试删除！";
inline constexpr char kBadConfigTitle[] = "警告";
inline constexpr std::int32_t kBadConfigButtons = 48;

struct ColorSettings {
    std::int32_t fontColor = kColorSettings[0].defaultValue;
    std::int32_t backColor = kColorSettings[1].defaultValue;
    std::int32_t borderColor = kColorSettings[2].defaultValue;
};

// The colour a non-empty configuration value stands for: surrounding blanks removed, decimal with
// fractions rounded halves to even, or "&H" hexadecimal (see core/registry/number_text.h),
// within the signed 32-bit range. No value for anything else. (The empty text is the caller's
// "use the default" and gives no value here either.)
std::optional<std::int32_t> colorFromConfigText(std::string_view text);

// The file's path for the program's folder: the folder, a separator, "config.ini". The separator
// is "\" when the folder already uses "\" (a Windows path) and "/" otherwise.
std::string configFilePath(const std::string& programFolder);

// Reads the three colours from `configFile`, defaults for missing or empty values. Fails, with
// kBadConfigPrompt as the message, when a value is not a colour; nothing is written either way.
Result<ColorSettings> readColorSettings(IniAccess& ini, const std::string& configFile);

}  // namespace hivora
