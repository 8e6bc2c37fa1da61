#include "core/registry/value_conversions.h"

#include <optional>
#include <vector>

#include "core/registry/number_text.h"
#include "platform/registry_api.h"

namespace hivora {
namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;

int hexDigitValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// The number written by two upper-case hex digits.
int twoDigitValue(std::string_view digits) {
    return hexDigitValue(digits[0]) * 16 + hexDigitValue(digits[1]);
}

std::vector<std::string_view> splitAtBlanks(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = text.find(' ', start);
        if (blank == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, blank - start));
        start = blank + 1;
    }
}

Status conversionError(std::string_view text) {
    return Status::error("颜色值“" + std::string(text) + "”无法转换为颜色", kErrorInvalidParameter);
}

}  // namespace

std::string ToHexText(std::int32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    while (value > 0) {
        result.insert(result.begin(), kDigits[value % 16]);
        value /= 16;
    }
    return result;
}

std::string ColorToRgbText(std::int32_t color) {
    std::string hex = ToHexText(color);
    if (hex.size() < 6) hex.insert(0, 6 - hex.size(), '0');
    const int red = twoDigitValue(std::string_view(hex).substr(hex.size() - 2));
    const int green = twoDigitValue(std::string_view(hex).substr(2, 2));
    const int blue = twoDigitValue(std::string_view(hex).substr(0, 2));
    return std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue);
}

Result<std::int32_t> RgbTextToColor(std::string_view text) {
    if (text.empty()) return kWhite;
    const std::vector<std::string_view> parts = splitAtBlanks(text);

    static constexpr std::int32_t kComponentWeights[] = {1, 256, 65536};  // red, green, blue
    std::int32_t color = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i >= parts.size()) return conversionError(text);
        const std::optional<std::int32_t> component =
            parseWholeNumber(parts[i], NumberWidth::Int16);
        if (!component) return conversionError(text);
        if (*component < 0 || *component > 255) return kWhite;
        color += *component * kComponentWeights[i];
    }
    return color;
}

std::int32_t DriveLettersToMask(std::string_view text) {
    if (text == "-1") return -1;
    std::uint32_t mask = 0;
    for (char c : text) {
        if (c >= 'a' && c <= 'z') mask |= 1u << (c - 'a');
        if (c >= 'A' && c <= 'Z') mask |= 1u << (c - 'A');
    }
    return static_cast<std::int32_t>(mask);
}

}  // namespace hivora
