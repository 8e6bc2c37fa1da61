#include "core/export/reg_writer.h"

#include <cstdio>

#include "platform/unicode_text.h"

namespace hivora {
namespace {

// regedit wraps hex data before this column, continuing with "\" and two blanks.
constexpr std::size_t kWrapColumn = 76;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

bool hasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// `prefix` followed by the bytes as "xx,xx,...", wrapped as regedit wraps them.
std::string hexLines(std::string prefix, std::string_view bytes) {
    std::string out = std::move(prefix);
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
        out += hex;
        if (i + 1 == bytes.size()) break;
        out += ',';
        if (out.size() - lineStart > kWrapColumn) {
            out += "\\\r\n  ";
            lineStart = out.size() - 2;
        }
    }
    return out;
}

// The UTF-16LE bytes of a text-type value's data (NULs kept), as regedit's hex(1), hex(2) and
// hex(7) hold them.
Result<std::string> utf16Bytes(const std::string& data, const AnsiCodec& codec) {
    Result<std::string> utf8 = codec.fromAnsi(data);
    if (!utf8) return utf8.status();
    Result<std::u16string> units = utf8ToUtf16(utf8.value());
    if (!units) return units.status();
    const std::vector<std::uint8_t> bytes = toUtf16Le(units.value());
    return std::string(bytes.begin(), bytes.end());
}

Result<std::string> dataPart(const ExportChange& change, const AnsiCodec& codec,
                             const std::string& lineStart) {
    const std::string& data = change.data;
    switch (change.type) {
        case kRegSz: {
            Result<std::string> text = valueText(data, codec);
            if (!text) return text.status();
            const bool plain =
                text.value().find('\0') == std::string::npos && !hasLineBreak(text.value());
            if (plain) return lineStart + quoted(text.value());
            [[fallthrough]];
        }
        case kRegExpandSz:
        case kRegMultiSz: {
            Result<std::string> bytes = utf16Bytes(data, codec);
            if (!bytes) return bytes.status();
            return hexLines(lineStart + "hex(" + std::to_string(change.type) + "):", bytes.value());
        }
        case kRegDword:
            if (std::optional<std::uint32_t> number = valueDword(data)) {
                char text[16];
                std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(*number));
                return lineStart + text;
            }
            break;
        case kRegBinary:
            return hexLines(lineStart + "hex:", data);
        default:
            break;
    }
    char type[16];
    std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(change.type));
    return hexLines(lineStart + type, data);
}

std::string valueNamePart(const std::string& name) {
    return name.empty() ? "@" : quoted(name);
}

}  // namespace

Result<std::string> writeRegFile(const std::vector<ExportChange>& changes, const AnsiCodec& codec) {
    std::string text = std::string(kRegHeaderV5) + "\r\n";
    std::string openKey;  // the section the lines below belong to; "" none
    const auto section = [&](const std::string& header) {
        if (openKey == header) return;
        text += "\r\n[" + header + "]\r\n";
        openKey = header;
    };
    for (const ExportChange& change : changes) {
        const std::string keyPath = changeKeyPath(change);
        if (hasLineBreak(keyPath) || hasLineBreak(change.name))
            return Status::error("名称中含有换行，无法写入 .reg 文件：" + keyPath);
        using Kind = ExportChange::Kind;
        switch (change.kind) {
            case Kind::MakeKey:
                section(keyPath);
                break;
            case Kind::RemoveKey:
                text += "\r\n[-" + keyPath + "]\r\n";
                openKey.clear();
                break;
            case Kind::RemoveValue:
                section(keyPath);
                text += valueNamePart(change.name) + "=-\r\n";
                break;
            case Kind::SecretLeftOut:
                section(keyPath);
                text += "; " + valueNamePart(change.name) + " 是密码，不以明文导出，已略去\r\n";
                break;
            case Kind::SetValue: {
                section(keyPath);
                Result<std::string> line =
                    dataPart(change, codec, valueNamePart(change.name) + "=");
                if (!line)
                    return Status::error("无法导出 " + keyPath + "\\" + change.name + "：" +
                                         line.status().message());
                text += line.value() + "\r\n";
                break;
            }
        }
    }
    text += "\r\n";
    Result<std::u16string> units = utf8ToUtf16(text);
    if (!units) return units.status();
    const std::vector<std::uint8_t> bytes = toUtf16Le(units.value());
    return std::string("\xFF\xFE", 2) + std::string(bytes.begin(), bytes.end());
}

}  // namespace hivora
