// The message box codes as buttons, results and icons; prompts' line breaks; the file filter.

#include "core/ui/dialog_looks.h"

#include <gtest/gtest.h>

#include "core/dialog_services.h"

namespace hivora {
namespace {

struct LookCase {
    int code;
    std::vector<int> results;  // the buttons, left to right
    MessageIcon icon;
    int closeResult;
};

TEST(DialogLooks, ButtonSetsIconsAndClosing) {
    const LookCase cases[] = {
        {0, {kIdOk}, MessageIcon::None, kIdOk},
        {3, {kIdYes, kIdNo, kIdCancel}, MessageIcon::None, kIdCancel},
        {4, {kIdYes, kIdNo}, MessageIcon::None, kIdNo},
        {4 + 32, {kIdYes, kIdNo}, MessageIcon::Question, kIdNo},
        {3 + 48, {kIdYes, kIdNo, kIdCancel}, MessageIcon::Warning, kIdCancel},
        {0 + 16, {kIdOk}, MessageIcon::Error, kIdOk},
        {64, {kIdOk}, MessageIcon::Information, kIdOk},
        {1, {kIdOk}, MessageIcon::None, kIdOk},  // a set the program never uses: OK alone
        {4 + 80, {kIdYes, kIdNo}, MessageIcon::None, kIdNo},  // unknown icon bits: none
    };
    for (const LookCase& c : cases) {
        const MessageBoxLook look = describeMessageBox(c.code);
        std::vector<int> results;
        for (const MessageButton& button : look.buttons) results.push_back(button.result);
        EXPECT_EQ(results, c.results) << c.code;
        EXPECT_EQ(look.icon, c.icon) << c.code;
        EXPECT_EQ(look.closeResult, c.closeResult) << c.code;
    }
    const MessageBoxLook all = describeMessageBox(kMbYesNoCancel);
    EXPECT_EQ(all.buttons[0].text, "是(&Y)");
    EXPECT_EQ(all.buttons[1].text, "否(&N)");
    EXPECT_EQ(all.buttons[2].text, "取消");
    EXPECT_EQ(describeMessageBox(kMbOk).buttons[0].text, "确定");
}

TEST(DialogLooks, PromptLineBreaks) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\nb", "a\nb"}, {"a\r\n\r\nb", "a\n\nb"}, {"a\rb\n", "a\nb\n"}, {"\r\n", "\n"},
        {"", ""},
    };
    for (const auto& [given, shown] : cases) EXPECT_EQ(promptLines(given), shown) << given;
}

TEST(DialogLooks, FileFilters) {
    using Filters = std::vector<FileFilter>;
    const std::pair<const char*, Filters> cases[] = {
        {"位图(*.bmp)|*.bmp", {{"位图(*.bmp)", {"*.bmp"}}}},
        {"图片|*.bmp;*.jpg; *.png ;|所有文件(ALL FILES)|*.*",
         {{"图片", {"*.bmp", "*.jpg", "*.png"}}, {"所有文件(ALL FILES)", {"*.*"}}}},
        {"只有说明", {}},
        {"a|*.a|dangling", {{"a", {"*.a"}}}},
        {"空|", {{"空", {"*"}}}},
        {"", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(parseFileFilter(filter), expected) << filter;
}

}  // namespace
}  // namespace hivora
