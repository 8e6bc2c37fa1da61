// The platform's own Windows tables held against Windows itself (Wine here), in full: the name
// folding for all 65,536 UTF-16 units through the real registry, and code page 936 for every one-
// and two-byte sequence and every character. Too long for the ordinary test run; the tables'
// chosen cases are in tests/platform/unicode_text_test.cpp and ansi_codec_agreement_test.cpp.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/code_page_936.h"
#include "platform/unicode_text.h"

namespace hivora {
namespace {

std::optional<std::string> outcome(const Result<std::string>& r) {
    return r ? std::optional(r.value()) : std::nullopt;
}

std::string hex(const std::string& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02x", b);
        out += buffer;
    }
    return out;
}

TEST(CodePage936Agreement, EverySequenceAndEveryCharacterConvertAsWindowsConvertsThem) {
    auto windows = makeAnsiCodec(936);
    ASSERT_TRUE(windows.isOk());
    const std::unique_ptr<AnsiCodec> ours = makeCodePage936Codec();
    std::vector<std::string> inputs;
    for (unsigned a = 0; a < 256; ++a) {
        inputs.push_back(std::string(1, static_cast<char>(a)));
        for (unsigned b = 0; b < 256; ++b)
            inputs.push_back(std::string{static_cast<char>(a), static_cast<char>(b)});
    }
    int differences = 0;
    for (const std::string& bytes : inputs) {
        const auto expected = outcome(windows.value()->fromAnsi(bytes));
        if (expected != outcome(ours->fromAnsi(bytes)) && ++differences <= 20)
            ADD_FAILURE() << "bytes " << hex(bytes) << ": Windows "
                          << (expected ? hex(*expected) : "refuses");
    }
    for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // no UTF-8 form
        std::string utf8;
        appendUtf8(utf8, unit);
        const auto expected = outcome(windows.value()->toAnsi(utf8));
        if (expected != outcome(ours->toAnsi(utf8)) && ++differences <= 20)
            ADD_FAILURE() << "U+" << std::hex << unit << ": Windows "
                          << (expected ? hex(*expected) : "refuses");
    }
    EXPECT_EQ(differences, 0);
}

// Windows' lower-case mapping, which the registry compares names through, for all 65,536 units;
// then the registry itself, with names made of every unit: each is found by its folded spelling.
// (A key per unit, created and listed one by one, agreed too, but takes minutes under Wine.)
TEST(NameFoldingAgreement, EveryUnitFoldsAsTheRegistryFoldsIt) {
    using Downcase = WCHAR(WINAPI*)(WCHAR);
    // Through void*: a FARPROC has no parameters of its own to match.
    const auto downcase = reinterpret_cast<Downcase>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlDowncaseUnicodeChar")));
    ASSERT_NE(downcase, nullptr);
    int differences = 0;
    for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
        const auto c = static_cast<char16_t>(unit);
        if (downcase(c) != foldNameChar(c) && ++differences <= 20)
            ADD_FAILURE() << "U+" << std::hex << unit << " folds to U+"
                          << static_cast<unsigned>(downcase(c));
    }
    EXPECT_EQ(differences, 0);

    const wchar_t* kBase = L"Software\\HivoraFoldAgreement";
    HKEY base = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &base, nullptr),
              ERROR_SUCCESS);
    constexpr std::uint32_t kUnitsPerName = 8192;  // value names hold up to 16,383 units
    for (std::uint32_t first = 1; first < 0x10000; first += kUnitsPerName) {
        std::wstring name, folded;
        for (std::uint32_t unit = first; unit < first + kUnitsPerName && unit < 0x10000; ++unit) {
            name.push_back(static_cast<wchar_t>(unit));
            folded.push_back(static_cast<wchar_t>(foldNameChar(static_cast<char16_t>(unit))));
        }
        const DWORD one = 1;
        ASSERT_EQ(::RegSetValueExW(base, name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&one), sizeof one),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegQueryValueExW(base, folded.c_str(), nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << "units from U+" << std::hex << first;
    }
    ::RegCloseKey(base);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
}

}  // namespace
}  // namespace hivora
