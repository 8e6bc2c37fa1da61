#include "core/export/ansible_writer.h"

#ifdef HIVORA_HAVE_YAML_CPP

#include <yaml-cpp/yaml.h>

namespace hivora {
namespace {

std::string ansiblePath(const ExportChange& change) {
    const char* root = nullptr;
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
            break;
    }
    std::string path = root ? std::string(root) : std::string(rootName(change.root)) + ":";
    path += '\\';
    path += change.key;
    return path;
}

// "<what> HKEY_...\key[\name]", the task's caption and the comments' subject.
std::string where(std::string_view what, const ExportChange& change) {
    std::string text(what);
    text += changeKeyPath(change);
    if (change.kind != ExportChange::Kind::MakeKey &&
        change.kind != ExportChange::Kind::RemoveKey) {
        text += '\\';
        text += change.name.empty() ? std::string_view("(默认)") : std::string_view(change.name);
    }
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';  // a comment ends at a line break
    return text;
}

std::string hexData(const std::string& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "hex:";
    text.reserve(4 + data.size() * 3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i != 0) text += ',';
        const auto byte = static_cast<unsigned char>(data[i]);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

// Every text (keys and fixed words too) is written double-quoted, which the emitter is told once
// (SetStringFormat). Quoting keeps a plain-looking "yes" or "012" a text rather than a flag or a
// number, and it spares the emitter its check of a plain scalar, which matches every character
// against a set of patterns and took most of an export's time.
void option(YAML::Emitter& out, const char* key, const std::string& value) {
    out << YAML::Key << key << YAML::Value << value;
}
void option(YAML::Emitter& out, const char* key, const char* value) {
    out << YAML::Key << key << YAML::Value << value;
}

void beginTask(YAML::Emitter& out, const std::string& caption, const ExportChange& change) {
    out << YAML::BeginMap;
    option(out, "name", caption);
    out << YAML::Key << kWinRegeditModule << YAML::Value << YAML::BeginMap;
    option(out, "path", ansiblePath(change));
}

void endTask(YAML::Emitter& out, const char* state) {
    option(out, "state", state);
    out << YAML::EndMap << YAML::EndMap;
}

// Writes the data and type options of a value moduleTakes accepts. Failure: a text the code
// page cannot decode.
Status valueOptions(YAML::Emitter& out, const ExportChange& change, const AnsiCodec& codec) {
    switch (change.type) {
        case kRegSz:
        case kRegExpandSz: {
            Result<std::string> value = valueText(change.data, codec);
            if (!value) return value.status();
            option(out, "data", value.value());
            option(out, "type", change.type == kRegSz ? "string" : "expandstring");
            return Status::ok();
        }
        case kRegMultiSz: {
            Result<std::vector<std::string>> values = valueTexts(change.data, codec);
            if (!values) return values.status();
            out << YAML::Key << "data" << YAML::Value << YAML::BeginSeq;
            for (const std::string& value : values.value()) out << value;
            out << YAML::EndSeq;
            option(out, "type", "multistring");
            return Status::ok();
        }
        // dword and qword data are written as numbers, not texts.
        case kRegDword:
            out << YAML::Key << "data" << YAML::Value << *valueDword(change.data);
            option(out, "type", "dword");
            return Status::ok();
        case kRegQword:
            out << YAML::Key << "data" << YAML::Value << *valueQword(change.data);
            option(out, "type", "qword");
            return Status::ok();
        default:  // kRegBinary, kRegNone
            option(out, "data", hexData(change.data));
            option(out, "type", change.type == kRegBinary ? "binary" : "none");
            return Status::ok();
    }
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
    out.SetStringFormat(YAML::DoubleQuoted);
    out << YAML::Comment("Hivora 导出的注册表修改（" + std::string(kWinRegeditModule) + "）");
    out << YAML::BeginSeq;
    for (const ExportChange& change : changes) {
        using Kind = ExportChange::Kind;
        switch (change.kind) {
            case Kind::MakeKey:
                beginTask(out, where("创建项 ", change), change);
                endTask(out, "present");
                break;
            case Kind::RemoveKey:
                beginTask(out, where("删除项 ", change), change);
                out << YAML::Key << "delete_key" << YAML::Value << true;
                endTask(out, "absent");
                break;
            case Kind::RemoveValue:
                beginTask(out, where("删除值 ", change), change);
                option(out, "name", change.name);
                endTask(out, "absent");
                break;
            case Kind::SecretLeftOut:
                out << YAML::Comment(where("", change) + " 是密码，不以明文导出，已略去");
                break;
            case Kind::SetValue: {
                if (!moduleTakes(change)) {
                    out << YAML::Comment(where("", change) + " 的类型 " +
                                         std::to_string(change.type) +
                                         " 无法用 win_regedit 写入，已略去");
                    break;
                }
                beginTask(out, where("设置值 ", change), change);
                option(out, "name", change.name);
                if (Status s = valueOptions(out, change, codec); !s)
                    return Status::error("无法导出 " + where("", change) + "：" + s.message());
                endTask(out, "present");
                break;
            }
        }
    }
    out << YAML::EndSeq;
    if (!out.good()) return Status::error("无法生成 YAML：" + out.GetLastError());
    std::string yaml;
    yaml.reserve(out.size() + 1);
    yaml.append(out.c_str(), out.size());
    yaml += '\n';
    return yaml;
}

}  // namespace hivora

#else

namespace hivora {

Result<std::string> writeAnsibleTasks(const std::vector<ExportChange>&, const AnsiCodec&) {
    return Status::error("此版本不带 YAML 支持，无法导出 Ansible 任务");
}

}  // namespace hivora

#endif
