#include "core/ui/dialog_looks.h"

#include "core/dialog_services.h"

namespace hivora {

namespace {

constexpr MessageButton kOkButton{kIdOk, "确定"};
constexpr MessageButton kYesButton{kIdYes, "是(&Y)"};
constexpr MessageButton kNoButton{kIdNo, "否(&N)"};
constexpr MessageButton kCancelButton{kIdCancel, "取消"};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

MessageBoxLook describeMessageBox(int code) {
    MessageBoxLook look;
    switch (code & 0x0F) {
        case kMbYesNoCancel:
            look.buttons = {kYesButton, kNoButton, kCancelButton};
            look.closeResult = kIdCancel;
            break;
        case kMbYesNo:
            look.buttons = {kYesButton, kNoButton};
            look.closeResult = kIdNo;
            break;
        default:
            look.buttons = {kOkButton};
            look.closeResult = kIdOk;
            break;
    }
    switch (code & 0xF0) {
        case kMbIconError:
            look.icon = MessageIcon::Error;
            break;
        case kMbIconQuestion:
            look.icon = MessageIcon::Question;
            break;
        case kMbIconWarning:
            look.icon = MessageIcon::Warning;
            break;
        case kMbIconInformation:
            look.icon = MessageIcon::Information;
            break;
        default:
            break;
    }
    return look;
}

std::string promptLines(std::string_view prompt) {
    std::string lines;
    lines.reserve(prompt.size());
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        if (prompt[i] == '\r') {
            lines += '\n';
            if (i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
        } else {
            lines += prompt[i];
        }
    }
    return lines;
}

std::vector<FileFilter> parseFileFilter(std::string_view filter) {
    std::vector<FileFilter> filters;
    if (filter.empty()) return filters;
    const std::vector<std::string_view> parts = split(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter entry;
        entry.description = std::string(trimmed(parts[i]));
        for (std::string_view mask : split(parts[i + 1], ';')) {
            mask = trimmed(mask);
            if (!mask.empty()) entry.masks.emplace_back(mask);
        }
        if (entry.masks.empty()) entry.masks.emplace_back("*");
        filters.push_back(std::move(entry));
    }
    return filters;
}

}  // namespace hivora
