#pragma once
// What the modal boxes show for the codes their callers pass: the buttons of a message box code
// with their Chinese texts and results, its icon, the answer of a box closed without a button;
// the prompt with its line breaks; the file dialog's filter list. The toolkit only draws these.

#include <string>
#include <string_view>
#include <vector>

namespace hivora {

enum class MessageIcon { None, Error, Question, Warning, Information };

struct MessageButton {
    int result;             // kIdOk, kIdCancel, kIdYes, kIdNo
    std::string_view text;  // with "&" before the access key, as the toolkits mark it
    bool operator==(const MessageButton&) const = default;
};

struct MessageBoxLook {
    std::vector<MessageButton> buttons;  // left to right; the first is the default
    MessageIcon icon = MessageIcon::None;
    // The answer when the box is closed with Escape or its close button. A Yes/No box answers
    // No: every caller that asks Yes or No treats No as "do nothing", so closing never writes.
    int closeResult = 0;
};

// `code` is a button set (0 OK; 3 Yes, No, Cancel; 4 Yes, No) plus at most one icon (16 error,
// 32 question, 48 warning, 64 information). Any other button set shows OK alone; any other icon
// bits show no icon.
MessageBoxLook describeMessageBox(int code);

// The prompt as the box shows it: "\r\n" and a lone "\r" become one line break each.
std::string promptLines(std::string_view prompt);

struct FileFilter {
    std::string description;
    std::vector<std::string> masks;  // "*.bmp", "*.jpg", ...
    bool operator==(const FileFilter&) const = default;
};

// "description|pattern|description|pattern", masks in a pattern joined by ";". Blanks around a
// mask are dropped; an empty mask is skipped; a description without a pattern (an odd count of
// parts) is dropped; a pair whose pattern holds no mask gets "*". An empty filter gives no entries.
std::vector<FileFilter> parseFileFilter(std::string_view filter);

}  // namespace hivora
