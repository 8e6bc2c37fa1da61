#include "core/config/color_config.h"

#include "core/registry/number_text.h"

namespace hivora {

std::optional<std::int32_t> colorFromConfigText(std::string_view text) {
    return parseWholeNumber(text, NumberWidth::Int32);
}

std::string configFilePath(const std::string& programFolder) {
    if (programFolder.empty()) return kConfigFileName;
    const bool windowsPath = programFolder.find('\\') != std::string::npos;
    const char separator = windowsPath ? '\\' : '/';
    std::string path = programFolder;
    if (path.back() != separator) path += separator;
    return path + kConfigFileName;
}

Result<ColorSettings> readColorSettings(IniAccess& ini, const std::string& configFile) {
    ColorSettings settings;
    std::int32_t* const targets[] = {&settings.fontColor, &settings.backColor,
                                     &settings.borderColor};
    for (std::size_t i = 0; i < kColorSettings.size(); ++i) {
        const Result<std::string> text =
            ini.ReadIniValue(configFile, kColorSection, kColorSettings[i].key);
        if (!text) return Status::error(kBadConfigPrompt);
        if (text.value().empty()) continue;  // the default stays
        const std::optional<std::int32_t> color = colorFromConfigText(text.value());
        if (!color) return Status::error(kBadConfigPrompt);
        *targets[i] = *color;
    }
    return settings;
}

}  // namespace hivora
