#pragma once
// Which generation of Windows a registry belongs to, read from the registry being edited (the
// running Windows, a Wine prefix, an offline installation), never from the host the program runs
// on. Rows name the generations on which they take effect with the same enum.

#include <cstdint>
#include <string>

#include "core/registry/reg_info_get_set.h"

namespace hivora {

// Generations that differ in what the catalogue rows reach. Unknown: the registry names no
// version (the private store, a Windows 9x prefix whose NT key is gone, a damaged hive); nothing is
// marked for it.
enum class WindowsGeneration : std::uint8_t {
    Unknown,
    Win9x,   // 95, 98, Me: no "Windows NT" version key
    Xp,      // NT 4, 2000, XP, Server 2003 (CurrentVersion below 6)
    Vista7,  // Vista and 7 (6.0, 6.1)
    Win8,    // 8 and 8.1 (6.2, 6.3 before build 10240)
    Win10,   // build 10240 up to 21999
    Win11,   // build 22000 and later
};

// A set of generations, one bit each. Empty stands for "every generation": rows whose reach was
// not looked into stay unmarked.
struct WindowsGenerations {
    std::uint8_t bits = 0;

    constexpr bool all() const { return bits == 0; }
    constexpr bool has(WindowsGeneration generation) const {
        return all() || (bits & bitOf(generation)) != 0;
    }
    static constexpr std::uint8_t bitOf(WindowsGeneration generation) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(generation));
    }
    constexpr bool operator==(const WindowsGenerations&) const = default;
};

// Builds a set: onlyOn(WindowsGeneration::Win9x, WindowsGeneration::Xp).
template <typename... Generations>
constexpr WindowsGenerations onlyOn(Generations... generations) {
    return {static_cast<std::uint8_t>((WindowsGenerations::bitOf(generations) | ...))};
}
// Every generation from `first` on (the later ones included).
constexpr WindowsGenerations fromOn(WindowsGeneration first) {
    std::uint8_t bits = 0;
    for (unsigned g = static_cast<unsigned>(first);
         g <= static_cast<unsigned>(WindowsGeneration::Win11); ++g) {
        bits = static_cast<std::uint8_t>(bits | (1u << g));
    }
    return {bits};
}
// Every generation before `end` (`end` excluded).
constexpr WindowsGenerations before(WindowsGeneration end) {
    std::uint8_t bits = 0;
    for (unsigned g = static_cast<unsigned>(WindowsGeneration::Win9x);
         g < static_cast<unsigned>(end); ++g) {
        bits = static_cast<std::uint8_t>(bits | (1u << g));
    }
    return {bits};
}

// The version values as a registry holds them; "" for a value that is absent.
struct WindowsVersionValues {
    std::string currentVersion;            // "5.1", "6.1", "6.3", "10.0", ...
    std::string currentBuildNumber;        // "2600", "7601", "19045", "22631", ...
    std::string productName;               // "Windows 10 Pro" (Windows 11 too reports "Windows 10")
    std::int64_t majorVersionNumber = -1;  // CurrentMajorVersionNumber; -1 when absent
};

// The generation the values name. A missing or unreadable CurrentVersion gives Unknown. The build
// number decides between 8, 10 and 11, as 8.1 and later all report 6.3; a missing or unreadable
// build number with 6.3 falls back to CurrentMajorVersionNumber (10: Windows 10), else Windows 8.
// The product name is not used to decide: Windows 11 still calls itself "Windows 10".
WindowsGeneration generationOf(const WindowsVersionValues& values);

// Reads the values under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion of the layer's
// registry. Never fails: what cannot be read is left as absent.
WindowsVersionValues readWindowsVersion(RegInfoGetSet& layer);

// generationOf(readWindowsVersion(layer)).
WindowsGeneration detectWindowsGeneration(RegInfoGetSet& layer);

// "Windows XP", "Windows 7" (Vista and 7), "Windows 8", "Windows 10", ...; "" for Unknown.
std::string generationName(WindowsGeneration generation);

// The generations of `set` by name, joined by "、"; three or more in a row become a range, a pair
// stays a pair: "Windows 9x、Windows XP", "Windows 9x 至 Windows 10",
// "Windows 9x 至 Windows Vista/7、Windows 11".
std::string generationNames(WindowsGenerations set);

// The line that says a row has no effect on `current`, naming where it has one:
// "此设置对 Windows 10 无效（仅 Windows XP）". "" when the row takes effect there or `current`
// is Unknown.
std::string noEffectLine(WindowsGenerations rowTakesEffectOn, WindowsGeneration current);

}  // namespace hivora
