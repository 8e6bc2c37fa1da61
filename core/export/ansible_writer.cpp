#include "core/export/ansible_writer.h"

#ifdef HIVORA_HAVE_YAML_CPP

#include <yaml-cpp/yaml.h>

#include <cstdio>

namespace hivora {
namespace {

std::string ansiblePath(const ExportChange& change) {
    std::string root;
    switch (change.root) {
        case kHkeyClassesRoot:
            root = "HKCR:";
            break;
        case kHkeyCurrentUser:
            root = "HKCU:";
            break;
        case kHkeyLocalMachine:
            root = "HKLM:";
            break;
        case kHkeyUsers:
            root = "HKU:";
            break;
        default:
            root = std::string(rootName(change.root)) + ":";
            break;
    }
    return change.key.empty() ? root + "\\" : root + "\\" + change.key;
}

std::string where(const ExportChange& change) {
    std::string text = changeKeyPath(change);
    if (change.kind != ExportChange::Kind::MakeKey && change.kind != ExportChange::Kind::RemoveKey)
        text += "\\" + (change.name.empty() ? std::string("(默认)") : change.name);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';  // a comment ends at a line break
    return text;
}

std::string hexData(const std::string& data) {
    std::string text = "hex:";
    for (std::size_t i = 0; i < data.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(data[i]));
        text += (i == 0 ? "" : ",") + std::string(hex);
    }
    return text;
}

// Texts are always double-quoted: a plain "yes" or "012" would read back as a flag or a number.
void text(YAML::Emitter& out, const char* key, const std::string& value) {
    out << YAML::Key << key << YAML::Value << YAML::DoubleQuoted << value;
}

void beginTask(YAML::Emitter& out, const std::string& caption, const ExportChange& change) {
    out << YAML::BeginMap;
    text(out, "name", caption);
    out << YAML::Key << kWinRegeditModule << YAML::Value << YAML::BeginMap;
    text(out, "path", ansiblePath(change));
}

void endTask(YAML::Emitter& out, const char* state) {
    out << YAML::Key << "state" << YAML::Value << state;
    out << YAML::EndMap << YAML::EndMap;
}

// Writes the data and type options; false when the module has no type for the value.
Status valueOptions(YAML::Emitter& out, const ExportChange& change, const AnsiCodec& codec,
                    bool& written) {
    written = true;
    const auto typed = [&](const char* type) { out << YAML::Key << "type" << YAML::Value << type; };
    switch (change.type) {
        case kRegSz:
        case kRegExpandSz: {
            Result<std::string> value = valueText(change.data, codec);
            if (!value) return value.status();
            text(out, "data", value.value());
            typed(change.type == kRegSz ? "string" : "expandstring");
            return Status::ok();
        }
        case kRegMultiSz: {
            Result<std::vector<std::string>> values = valueTexts(change.data, codec);
            if (!values) return values.status();
            out << YAML::Key << "data" << YAML::Value << YAML::BeginSeq;
            for (const std::string& value : values.value()) out << YAML::DoubleQuoted << value;
            out << YAML::EndSeq;
            typed("multistring");
            return Status::ok();
        }
        case kRegDword:
            if (std::optional<std::uint32_t> number = valueDword(change.data)) {
                out << YAML::Key << "data" << YAML::Value << *number;
                typed("dword");
                return Status::ok();
            }
            break;
        case kRegQword:
            if (std::optional<std::uint64_t> number = valueQword(change.data)) {
                out << YAML::Key << "data" << YAML::Value << *number;
                typed("qword");
                return Status::ok();
            }
            break;
        case kRegBinary:
        case kRegNone:
            text(out, "data", hexData(change.data));
            typed(change.type == kRegBinary ? "binary" : "none");
            return Status::ok();
        default:
            break;
    }
    written = false;
    return Status::ok();
}

// Whether the module can write the value (see valueOptions).
bool moduleTakes(const ExportChange& change) {
    switch (change.type) {
        case kRegDword:
            return valueDword(change.data).has_value();
        case kRegQword:
            return valueQword(change.data).has_value();
        case kRegSz:
        case kRegExpandSz:
        case kRegMultiSz:
        case kRegBinary:
        case kRegNone:
            return true;
        default:
            return false;
    }
}

}  // namespace

Result<std::string> writeAnsibleTasks(const std::vector<ExportChange>& changes,
                                      const AnsiCodec& codec) {
    YAML::Emitter out;
    out << YAML::Comment("Hivora 导出的注册表修改（" + std::string(kWinRegeditModule) + "）");
    out << YAML::BeginSeq;
    for (const ExportChange& change : changes) {
        using Kind = ExportChange::Kind;
        switch (change.kind) {
            case Kind::MakeKey:
                beginTask(out, "创建项 " + where(change), change);
                endTask(out, "present");
                break;
            case Kind::RemoveKey:
                beginTask(out, "删除项 " + where(change), change);
                out << YAML::Key << "delete_key" << YAML::Value << true;
                endTask(out, "absent");
                break;
            case Kind::RemoveValue:
                beginTask(out, "删除值 " + where(change), change);
                text(out, "name", change.name);
                endTask(out, "absent");
                break;
            case Kind::SecretLeftOut:
                out << YAML::Comment(where(change) + " 是密码，不以明文导出，已略去");
                break;
            case Kind::SetValue: {
                if (!moduleTakes(change)) {
                    out << YAML::Comment(where(change) + " 的类型 " + std::to_string(change.type) +
                                         " 无法用 win_regedit 写入，已略去");
                    break;
                }
                beginTask(out, "设置值 " + where(change), change);
                text(out, "name", change.name);
                bool written = false;
                if (Status s = valueOptions(out, change, codec, written); !s)
                    return Status::error("无法导出 " + where(change) + "：" + s.message());
                endTask(out, "present");
                break;
            }
        }
    }
    out << YAML::EndSeq;
    if (!out.good()) return Status::error("无法生成 YAML：" + out.GetLastError());
    return std::string(out.c_str()) + "\n";
}

}  // namespace hivora

#else

namespace hivora {

Result<std::string> writeAnsibleTasks(const std::vector<ExportChange>&, const AnsiCodec&) {
    return Status::error("此版本不带 YAML 支持，无法导出 Ansible 任务");
}

}  // namespace hivora

#endif
