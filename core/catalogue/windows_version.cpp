#include "core/catalogue/windows_version.h"

#include <charconv>
#include <optional>

#include "core/catalogue/registry_locations.h"
#include "core/journal/registry_state.h"

namespace hivora {
namespace {

// 8.1 and every later release report CurrentVersion 6.3; the build number tells them apart.
constexpr long kFirstWindows10Build = 10240;
constexpr long kFirstWindows11Build = 22000;

std::optional<long> leadingNumber(std::string_view text) {
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return number;
}

WindowsGeneration byBuild(long build) {
    if (build >= kFirstWindows11Build) return WindowsGeneration::Win11;
    if (build >= kFirstWindows10Build) return WindowsGeneration::Win10;
    return WindowsGeneration::Win8;
}

// A text value as UTF-8, without the terminating NULs the registry may keep; "" when it is absent,
// of another type or cannot be read.
std::string readText(RegistryView view, const char* name) {
    Result<ValueState> state =
        readValueState(view, kHkeyLocalMachine, locations::kWindowsNtCurrentVersion, name);
    if (!state || !state.value().present) return {};
    if (state.value().type != kRegSz && state.value().type != kRegExpandSz) return {};
    std::string bytes = state.value().data;
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    Result<std::string> text = view.codec.fromAnsi(bytes);
    return text ? text.value() : std::string();
}

std::int64_t readDword(RegistryView view, const char* name) {
    Result<ValueState> state =
        readValueState(view, kHkeyLocalMachine, locations::kWindowsNtCurrentVersion, name);
    if (!state || !state.value().present || state.value().type != kRegDword ||
        state.value().data.size() != 4) {
        return -1;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = (number << 8) | static_cast<unsigned char>(state.value().data[i]);
    }
    return number;
}

}  // namespace

WindowsGeneration generationOf(const WindowsVersionValues& values) {
    const std::string_view version = values.currentVersion;
    const std::optional<long> major = leadingNumber(version);
    if (!major) return WindowsGeneration::Unknown;
    const std::size_t dot = version.find('.');
    const long minor =
        dot == std::string_view::npos ? 0 : leadingNumber(version.substr(dot + 1)).value_or(0);
    const std::optional<long> build = leadingNumber(values.currentBuildNumber);

    if (*major < 6) return WindowsGeneration::Xp;
    if (*major == 6 && minor <= 1) return WindowsGeneration::Vista7;
    if (*major == 6 && minor == 2) return WindowsGeneration::Win8;
    // 6.3, or a registry that gives the real major version (10.0) as some setups write it.
    if (build) return byBuild(*build);
    if (*major >= 10 || values.majorVersionNumber >= 10) return WindowsGeneration::Win10;
    return WindowsGeneration::Win8;
}

WindowsVersionValues readWindowsVersion(RegInfoGetSet& layer) {
    const RegistryView view{layer.api(), layer.codec()};
    WindowsVersionValues values;
    values.currentVersion = readText(view, "CurrentVersion");
    values.currentBuildNumber = readText(view, "CurrentBuildNumber");
    values.productName = readText(view, "ProductName");
    values.majorVersionNumber = readDword(view, "CurrentMajorVersionNumber");
    return values;
}

WindowsGeneration detectWindowsGeneration(RegInfoGetSet& layer) {
    return generationOf(readWindowsVersion(layer));
}

std::string generationName(WindowsGeneration generation) {
    switch (generation) {
        case WindowsGeneration::Unknown:
            return {};
        case WindowsGeneration::Win9x:
            return "Windows 9x";
        case WindowsGeneration::Xp:
            return "Windows XP";
        case WindowsGeneration::Vista7:
            return "Windows Vista/7";
        case WindowsGeneration::Win8:
            return "Windows 8";
        case WindowsGeneration::Win10:
            return "Windows 10";
        case WindowsGeneration::Win11:
            return "Windows 11";
    }
    return {};
}

std::string generationNames(WindowsGenerations set) {
    constexpr unsigned kFirst = static_cast<unsigned>(WindowsGeneration::Win9x);
    constexpr unsigned kLast = static_cast<unsigned>(WindowsGeneration::Win11);
    const auto name = [](unsigned g) { return generationName(static_cast<WindowsGeneration>(g)); };
    const auto in = [&](unsigned g) {
        return g <= kLast && set.has(static_cast<WindowsGeneration>(g));
    };
    std::string text;
    for (unsigned g = kFirst; g <= kLast; ++g) {
        if (!in(g)) continue;
        unsigned end = g;
        while (in(end + 1)) ++end;
        if (!text.empty()) text += "、";
        if (end - g >= 2) {
            text += name(g) + " 至 " + name(end);
        } else {
            text += end == g ? name(g) : name(g) + "、" + name(end);
        }
        g = end;
    }
    return text;
}

std::string noEffectLine(WindowsGenerations rowTakesEffectOn, WindowsGeneration current) {
    if (current == WindowsGeneration::Unknown || rowTakesEffectOn.has(current)) return {};
    return "此设置对 " + generationName(current) + " 无效（仅 " +
           generationNames(rowTakesEffectOn) + "）";
}

}  // namespace hivora
