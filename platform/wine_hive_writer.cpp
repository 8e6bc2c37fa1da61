// The writing half of the Wine registry format (see wine_hive_format.h).

#include <cstdio>
#include <vector>

#include "platform/registry_api.h"
#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"

namespace hivora {

namespace {

// Wine's line limit for hex lists: after a comma that takes the line past this column, the list
// goes on on the next line.
constexpr int kHexWrapColumn = 76;

void appendHex(std::string& out, unsigned value, int width) {
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, "%0*x", width, value);
    out.append(buffer, static_cast<std::size_t>(n));
}

void endLine(std::string& out) {
    if (!out.empty() && out.back() != '\n') out.push_back('\n');
}

// The key's path below the hive root, each name escaped, joined by an escaped backslash. The
// names are gathered leaf first and written root first, so depth costs no stack.
void appendKeyPath(std::string& out, const TreeKey& key) {
    std::vector<const TreeKey*> chain;
    for (const TreeKey* k = &key; k->parent; k = k->parent) chain.push_back(k);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) out += "\\\\";
        appendEscaped(out, (*it)->name, "[]");
    }
}

bool isTextType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

void appendValue(std::string& out, const TreeValue& value) {
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += "@=";
    } else {
        out.push_back('"');
        appendEscaped(out, value.name, "\"\"");
        out += "\"=";
    }
    const std::vector<std::uint8_t>& data = value.data;
    // Texts are written as text only when they end with their NUL; anything else goes as hex.
    if (isTextType(value.type) && data.size() >= 2 && data.size() % 2 == 0 &&
        data[data.size() - 2] == 0 && data[data.size() - 1] == 0) {
        if (value.type != kRegSz) {
            out += "str(";
            appendHex(out, value.type, 0);
            out += "):";
        }
        out.push_back('"');
        appendEscaped(out, fromUtf16Le(data.data(), data.size()), "\"\"");
        out += "\"\n";
        return;
    }
    if (value.type == kRegDword && data.size() == 4) {
        out += "dword:";
        appendHex(out, data[0] | (data[1] << 8) | (data[2] << 16) | (unsigned(data[3]) << 24), 8);
        out.push_back('\n');
        return;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        appendHex(out, value.type, 0);
        out += "):";
    }
    int column = static_cast<int>(out.size() - lineStart);
    for (std::size_t i = 0; i < data.size(); ++i) {
        appendHex(out, data[i], 2);
        column += 2;
        if (i + 1 < data.size()) {
            out.push_back(',');
            if (++column > kHexWrapColumn) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    out.push_back('\n');
}

void appendKeyBlock(std::string& out, const TreeKey& key) {
    out.push_back('[');
    appendKeyPath(out, key);
    // The stamp on the key line is in Unix seconds, cut to 32 bits as Wine prints it.
    const auto seconds =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(key.modified - kTicks1601To1970) /
                                   static_cast<std::int64_t>(kTicksPerSecond));
    out += "] " + std::to_string(seconds) + "\n#time=";
    appendHex(out, static_cast<unsigned>(key.modified >> 32), 0);
    appendHex(out, static_cast<unsigned>(key.modified & 0xFFFFFFFFu), 8);
    out.push_back('\n');
    if (key.keyClass) {
        out += "#class=\"";
        appendEscaped(out, *key.keyClass, "\"\"");
        out += "\"\n";
    }
    if (key.isLink) out += "#link\n";
    for (std::string_view line : key.extraLines) {
        out += line;
        endLine(out);
    }
    for (const TreeValue& value : key.values) {
        if (value.sourceText.empty()) {
            appendValue(out, value);
        } else {
            out += value.sourceText;
            endLine(out);
        }
    }
}

// One key's own block, without its sub-keys.
void appendOwnBlock(std::string& out, const TreeKey& key) {
    if (!key.changed && !key.sourceBlock.empty()) {
        out += key.sourceLeading;
        out += key.sourceBlock;
    } else if (!key.values.empty() || key.subKeys.empty() || key.keyClass || key.isLink) {
        // Keys that hold only sub-keys are implied by them and not written.
        endLine(out);
        if (key.sourceBlock.empty())
            out.push_back('\n');
        else
            out += key.sourceLeading;
        appendKeyBlock(out, key);
    }
}

// The branch at `key` in file order (each key, then its sub-keys in name order), walked with an
// explicit stack: a file may nest keys deeper than any call stack reaches.
void appendBranch(std::string& out, const TreeKey& top) {
    std::vector<const TreeKey*> stack{&top};
    while (!stack.empty()) {
        const TreeKey* key = stack.back();
        stack.pop_back();
        if (key->isVolatile) continue;  // with its whole branch
        appendOwnBlock(out, *key);
        for (auto it = key->subKeys.rbegin(); it != key->subKeys.rend(); ++it)
            stack.push_back(it->get());
    }
}

}  // namespace

std::string renderHive(const HiveTree& tree) {
    std::string out;
    out.reserve((tree.source ? tree.source->size() : 0) + 4096);
    if (tree.source && !tree.header.empty()) {
        out += tree.header;
    } else {
        out += kWineRegistryMagic;
        out += "\n;; All keys relative to ";
        for (const auto& part : splitKeyPath(tree.rootName)) {
            out += "\\\\";
            appendEscaped(out, part, "[]");
        }
        out.push_back('\n');
    }
    appendBranch(out, *tree.root);
    if (!tree.trailer.empty()) {
        endLine(out);
        out += tree.trailer;
    }
    return out;
}

}  // namespace hivora
