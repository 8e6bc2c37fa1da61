#include "core/export/ps1_writer.h"

#include <cstdio>

namespace hivora {
namespace {

// PowerShell takes U+2018, U+2019, U+201A and U+201B as single quotes as well as "'".
bool startsTypographicQuote(const std::string& text, std::size_t i) {
    return i + 2 < text.size() && static_cast<unsigned char>(text[i]) == 0xE2 &&
           static_cast<unsigned char>(text[i + 1]) == 0x80 &&
           (static_cast<unsigned char>(text[i + 2]) >= 0x98 &&
            static_cast<unsigned char>(text[i + 2]) <= 0x9B);
}

std::string registryPath(const ExportChange& change) {
    return powerShellString("Registry::" + changeKeyPath(change));
}

std::string propertyName(const ExportChange& change) {
    return powerShellString(change.name.empty() ? "(default)" : change.name);
}

std::string makeKeyLine(const std::string& path) {
    // New-Item -Force on a key that exists would empty it, so it runs only for a missing key.
    return "if (-not (Test-Path -LiteralPath " + path + ")) { New-Item -Path " + path +
           " -Force | Out-Null }";
}

// "HKEY_...\key\name" for messages and comments; a line break would end a comment early, so
// it shows as a blank.
std::string what(const ExportChange& change) {
    std::string where = changeKeyPath(change);
    if (change.kind != ExportChange::Kind::MakeKey && change.kind != ExportChange::Kind::RemoveKey)
        where += "\\" + (change.name.empty() ? std::string("(默认)") : change.name);
    for (char& c : where)
        if (c == '\r' || c == '\n') c = ' ';
    return where;
}

// The -PropertyType and -Value of a value; empty type: PowerShell cannot write it.
struct Property {
    std::string type, value;
};

Result<Property> property(const ExportChange& change, const AnsiCodec& codec) {
    switch (change.type) {
        case kRegSz:
        case kRegExpandSz: {
            Result<std::string> text = valueText(change.data, codec);
            if (!text) return text.status();
            return Property{change.type == kRegSz ? "String" : "ExpandString",
                            powerShellString(text.value())};
        }
        case kRegMultiSz: {
            Result<std::vector<std::string>> texts = valueTexts(change.data, codec);
            if (!texts) return texts.status();
            std::string list;
            for (const std::string& text : texts.value())
                list += (list.empty() ? "" : ",") + powerShellString(text);
            return Property{"MultiString", "([string[]]@(" + list + "))"};
        }
        case kRegDword:
            if (std::optional<std::uint32_t> number = valueDword(change.data))
                return Property{"DWord", std::to_string(static_cast<std::int32_t>(*number))};
            break;
        case kRegQword:
            if (std::optional<std::uint64_t> number = valueQword(change.data))
                return Property{"QWord", std::to_string(static_cast<std::int64_t>(*number))};
            break;
        case kRegBinary: {
            std::string list;
            for (char c : change.data) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned char>(c));
                list += (list.empty() ? "" : ",") + std::string(hex);
            }
            return Property{"Binary", "([byte[]]@(" + list + "))"};
        }
        default:
            break;
    }
    return Property{};
}

}  // namespace

std::string powerShellString(const std::string& text) {
    std::string out;
    std::string part;
    bool inQuote = false;
    const auto closePart = [&] {
        if (!inQuote) return;
        out += (out.empty() ? "" : " + ") + ("'" + part + "'");
        part.clear();
        inQuote = false;
    };
    bool anyBreak = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            closePart();
            // PowerShell adds to a [char] on the left as to a number ([char]13 + [char]10 is
            // 23): a sum starts with a string, so that + joins texts.
            if (out.empty()) out = "''";
            out += std::string(" + ") + (c == '\n' ? "[char]10" : "[char]13");
            anyBreak = true;
            continue;
        }
        inQuote = true;
        if (c == '\'') {
            part += "''";
        } else if (startsTypographicQuote(text, i)) {
            part += text.substr(i, 3) + text.substr(i, 3);
            i += 2;
        } else {
            part += c;
        }
    }
    if (!anyBreak) return "'" + part + "'";
    closePart();
    return "(" + out + ")";
}

Result<std::string> writePowerShell(const std::vector<ExportChange>& changes,
                                    const AnsiCodec& codec) {
    std::string script = "\xEF\xBB\xBF# Hivora 导出的注册表修改；可重复运行，结果相同。\r\n";
    script += "$ErrorActionPreference = 'Stop'\r\n";
    const auto line = [&](const std::string& text) { script += text + "\r\n"; };
    for (const ExportChange& change : changes) {
        const std::string path = registryPath(change);
        using Kind = ExportChange::Kind;
        switch (change.kind) {
            case Kind::MakeKey:
                line("Write-Host " + powerShellString("创建项 " + what(change)));
                line(makeKeyLine(path));
                break;
            case Kind::RemoveKey:
                line("Write-Host " + powerShellString("删除项 " + what(change)));
                line("if (Test-Path -LiteralPath " + path + ") { Remove-Item -LiteralPath " + path +
                     " -Recurse -Force }");
                break;
            case Kind::RemoveValue:
                line("Write-Host " + powerShellString("删除值 " + what(change)));
                line("if (Get-ItemProperty -LiteralPath " + path + " -Name " +
                     propertyName(change) +
                     " -ErrorAction SilentlyContinue) { Remove-ItemProperty -LiteralPath " + path +
                     " -Name " + propertyName(change) + " }");
                break;
            case Kind::SecretLeftOut:
                line("# " + what(change) + " 是密码，不以明文导出，已略去");
                break;
            case Kind::SetValue: {
                Result<Property> value = property(change, codec);
                if (!value)
                    return Status::error("无法导出 " + what(change) + "：" +
                                         value.status().message());
                if (value.value().type.empty()) {
                    line("# " + what(change) + " 的类型 " + std::to_string(change.type) +
                         " 无法用 New-ItemProperty 写入，已略去");
                    break;
                }
                line("Write-Host " + powerShellString("设置值 " + what(change)));
                line(makeKeyLine(path));
                line("New-ItemProperty -LiteralPath " + path + " -Name " + propertyName(change) +
                     " -PropertyType " + value.value().type + " -Value " + value.value().value +
                     " -Force | Out-Null");
                break;
            }
        }
    }
    return script;
}

}  // namespace hivora
