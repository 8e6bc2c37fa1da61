#include "gui/pages/page_live_state.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <variant>

#include "core/catalogue/row_dispatch.h"
#include "gui/image_button.h"
#include "gui/live_state_controller.h"
#include "gui/pages/page_layout.h"

namespace hivora {
namespace {

using RowsOf = std::variant<CataloguePage, TextBoxPage>;

// One array of rows on a page: the caption names ("%1" is the row index plus `nameOffset`), the
// text-box names for rows that take a text (empty otherwise) and where the rows' data lives.
struct RowArray {
    int pageIndex;
    const char* captionPattern;
    const char* boxPattern;
    RowsOf rows;
    int count;
    int nameOffset = 0;
};

// Enough rows for every array; a row whose caption the page does not hold is skipped.
constexpr int kAnyCount = 64;

const RowArray kRowArrays[] = {
    {0, "Label_LoginStyle(%1)", "", CataloguePage::LogonStyle, kAnyCount},
    {1, "Label_DesktopSetting(%1)", "", CataloguePage::Desktop, kAnyCount},
    {2, "Label_IEPage(%1)", "Text_IEPage(%1)", TextBoxPage::PageAddresses, kAnyCount},
    {2, "Label_IEProperty(%1)", "", CataloguePage::BrowserProperties, kAnyCount},
    {3, "Label_ForbidTips(%1)", "", CataloguePage::Restrictions, kAnyCount},
    {3, "Label_HideTips(%1)", "", CataloguePage::HideShow, kAnyCount},
    {4, "Label_SysDir(%1)", "Text_SysDir(%1)", TextBoxPage::SpecialFolders, kAnyCount},
    {4, "Label%1", "Text%1", TextBoxPage::Registration, 3, 1},
};

// The caption's left strip becomes the mark's place, so that the follower sets it left of the
// text, inside the area the row was given.
void makeRoomForMark(QLabel* caption) {
    static_assert(kMarkStrip > StateMark::kSizePx);
    caption->setGeometry(caption->geometry().adjusted(kMarkStrip, 0, 0, 0));
}

int attachArray(const RowArray& array, QWidget* page, LiveStateController& live) {
    int marks = 0;
    for (int row = 0; row < array.count; ++row) {
        const int number = row + array.nameOffset;
        auto* caption =
            page->findChild<QLabel*>(QString::fromLatin1(array.captionPattern).arg(number));
        if (caption == nullptr) continue;
        makeRoomForMark(caption);
        StateMark* mark = std::visit(
            [&](auto rows) { return live.attachStateMark(caption, rows, row); }, array.rows);
        mark->setObjectName(QLatin1String(kStateMarkPrefix) + caption->objectName());
        ++marks;
        if (*array.boxPattern == '\0') continue;
        auto* box = page->findChild<QLineEdit*>(QString::fromLatin1(array.boxPattern).arg(number));
        if (box != nullptr) live.attachPlaceholder(box, std::get<TextBoxPage>(array.rows), row);
    }
    return marks;
}

}  // namespace

int attachLiveState(int index, QWidget* page, LiveStateController& live) {
    if (page == nullptr) return 0;
    int marks = 0;
    for (const RowArray& array : kRowArrays) {
        if (array.pageIndex == index) marks += attachArray(array, page, live);
    }
    // Connected after the buttons' own actions, so the rows are read once an action, with its
    // dialogs, has finished.
    for (ImageButton* button : page->findChildren<ImageButton*>()) {
        QObject::connect(button, &ImageButton::clicked, &live, &LiveStateController::refresh);
    }
    return marks;
}

}  // namespace hivora
