#include "platform/journal_file.h"

namespace hivora {

Result<std::string> MemoryJournalFiles::read(const std::string& path) {
    if (Status s = check("read", path); !s) return s;
    const auto found = m_files.find(path);
    return found == m_files.end() ? std::string() : found->second;
}

Status MemoryJournalFiles::appendDurably(const std::string& path, std::string_view bytes) {
    if (Status s = check("append", path); !s) return s;
    std::string& text = m_files[path];
    if (!text.empty() && text.back() != '\n') text += '\n';
    text.append(bytes);
    ++m_appends;
    return Status::ok();
}

Status MemoryJournalFiles::replaceDurably(const std::string& path, std::string_view bytes) {
    if (Status s = check("replace", path); !s) return s;
    m_files[path] = std::string(bytes);
    return Status::ok();
}

}  // namespace hivora
