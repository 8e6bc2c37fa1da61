#include "core/registry/number_text.h"

#include <algorithm>
#include <string>

namespace hivora {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

struct WidthLimits {
    std::int64_t min;
    std::int64_t max;
    std::size_t hexDigits;
};

WidthLimits limitsOf(NumberWidth width) {
    if (width == NumberWidth::Int16) return {-32768, 32767, 4};
    return {INT32_MIN, INT32_MAX, 8};
}

int hexDigitValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// `digits` follows "&H". The digits are a bit pattern of the requested width.
std::optional<std::int32_t> parseHex(std::string_view digits, NumberWidth width) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t bits = 0;
    std::size_t significant = 0;
    for (char c : digits) {
        const int v = hexDigitValue(c);
        if (v < 0) return std::nullopt;
        if (significant == 0 && v == 0) continue;  // leading zeros
        if (++significant > limitsOf(width).hexDigits) return std::nullopt;
        bits = bits * 16 + static_cast<std::uint32_t>(v);
    }
    if (width == NumberWidth::Int16) {
        return static_cast<std::int32_t>(
            static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)));
    }
    return static_cast<std::int32_t>(bits);
}

// A decimal number split into its parts; the value is 0.<digits> * 10^pointPos, i.e. the decimal
// point sits before digits[pointPos].
struct DecimalParts {
    bool negative = false;
    std::string digits;
    std::int64_t pointPos = 0;
};

std::optional<DecimalParts> splitDecimal(std::string_view text) {
    DecimalParts parts;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) parts.negative = text[i++] == '-';

    std::size_t intDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        parts.digits += text[i++];
        ++intDigits;
    }
    std::size_t fracDigits = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            parts.digits += text[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;

    // Exponents beyond this bound change nothing: any non-zero digit is then far out of range or
    // far below one half.
    constexpr std::int64_t kExponentBound = 1000000;
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
        while (i < text.size() && isDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i++] - '0'), kExponentBound);
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;

    parts.pointPos = static_cast<std::int64_t>(intDigits) + exponent;
    return parts;
}

// Whole part of the magnitude, rounded halves to even. Saturates above any 32-bit value, which is
// enough for the range check that follows.
std::uint64_t roundedMagnitude(const DecimalParts& parts) {
    constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40;
    const auto length = static_cast<std::int64_t>(parts.digits.size());

    std::uint64_t magnitude = 0;
    const std::int64_t wholeDigits = std::clamp<std::int64_t>(parts.pointPos, 0, length);
    for (std::int64_t k = 0; k < wholeDigits; ++k) {
        magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(parts.digits[k] - '0'),
                             kSaturated);
    }
    // Zeros the exponent adds after the written digits.
    for (std::int64_t k = length; k < parts.pointPos && magnitude != 0; ++k) {
        magnitude = std::min(magnitude * 10, kSaturated);
    }

    if (parts.pointPos < 0 || parts.pointPos >= length)
        return magnitude;  // fraction below .1, or none
    const char first = parts.digits[static_cast<std::size_t>(parts.pointPos)];
    const bool restNonZero = std::any_of(parts.digits.begin() + parts.pointPos + 1,
                                         parts.digits.end(), [](char c) { return c != '0'; });
    const bool roundUp = first > '5' || (first == '5' && (restNonZero || magnitude % 2 == 1));
    return roundUp ? magnitude + 1 : magnitude;
}

}  // namespace

std::optional<std::int32_t> parseWholeNumber(std::string_view text, NumberWidth width) {
    text = trimBlanks(text);
    if (text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        return parseHex(text.substr(2), width);
    }

    const std::optional<DecimalParts> parts = splitDecimal(text);
    if (!parts) return std::nullopt;
    const auto magnitude = static_cast<std::int64_t>(roundedMagnitude(*parts));
    const std::int64_t value = parts->negative ? -magnitude : magnitude;
    const WidthLimits limits = limitsOf(width);
    if (value < limits.min || value > limits.max) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace hivora
