#include "gui/page_skins.h"

#include <QLabel>
#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/shell/main_layout.h"
#include "gui/image_button.h"
#include "gui/skin_faces.h"
#include "gui/window_helpers.h"

namespace hivora {

namespace {

struct SkinGroup {
    std::string_view name;
    int group;  // tens: the row kind; units: the member within a row
};

// The image buttons in the order they take their faces: single buttons, then the row arrays
// pairwise, then the registration and folder buttons.
constexpr SkinGroup kSkinOrder[] = {
    {"Picture_BackgroundSel", 0},
    {"Picture_BackgroundDef", 1},
    {"Picture_BackColorSel", 2},
    {"Picture_BackColorDef", 3},
    {"Picture_PowerStartSelAll", 4},
    {"Picture_PowerStartAntiSel", 5},
    {"Picture_PowerStartRemove", 6},
    {"Picture_PowerStartOff", 7},
    {"Picture_PowerStartOn", 8},
    {"Picture_LoginStyle1", 10},
    {"Picture_LoginStyle2", 11},
    {"Picture_DesktopSet", 20},
    {"Picture_DesktopUnset", 21},
    {"Picture_IEPageChange", 30},
    {"Picture_IEPageDefault", 31},
    {"Picture_IEPropertySet", 40},
    {"Picture_IEPropertyUnset", 41},
    {"Picture_Hide", 50},
    {"Picture_Show", 51},
    {"Picture_Forbid", 60},
    {"Picture_Passage", 61},
    {"Picture_RegTo", 70},
    {"Picture_SysDirChange", 80},
};

// A control name split into its base and its array index: "Picture_Forbid(2)" is
// {"Picture_Forbid", 2}, "Picture_RegTo" is {"Picture_RegTo", 0}. Nothing for other shapes.
struct ControlName {
    std::string_view base;
    int index = 0;
};

std::optional<ControlName> splitName(std::string_view name) {
    const std::size_t open = name.find('(');
    if (open == std::string_view::npos) return ControlName{name, 0};
    if (open == 0 || name.size() < open + 3 || name.back() != ')') return std::nullopt;
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    if (digits.size() > 6) return std::nullopt;
    int index = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + (c - '0');
    }
    return ControlName{name.substr(0, open), index};
}

std::optional<int> skinGroupOf(std::string_view base) {
    for (const SkinGroup& entry : kSkinOrder)
        if (entry.name == base) return entry.group;
    return std::nullopt;
}

}  // namespace

void skinPageButtons(QWidget* root) {
    struct Entry {
        int index;
        int group;
        ImageButton* button;
    };
    std::vector<Entry> entries;
    for (ImageButton* button : root->findChildren<ImageButton*>()) {
        const QByteArray name = button->objectName().toLatin1();
        const std::optional<ControlName> parts = splitName(std::string_view(name));
        if (!parts) continue;
        if (const std::optional<int> group = skinGroupOf(parts->base))
            entries.push_back({parts->index, *group, button});
    }
    // Single buttons first; the arrays of one row side by side (group tens, member units).
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int rowA = a.group / 10, rowB = b.group / 10;
        if (rowA != rowB) return rowA < rowB;
        if (a.index != b.index) return a.index < b.index;
        return a.group < b.group;
    });
    for (const Entry& entry : entries) SkinImageButton(entry.button, entry.button->kind());
    for (QLabel* browse : root->findChildren<QLabel*>()) {
        const QByteArray name = browse->objectName().toLatin1();
        const std::optional<ControlName> parts = splitName(std::string_view(name));
        if (!parts || parts->base != "Picture_SysDir" || !name.contains('(')) continue;
        const QPixmap face = sysDirFace(1);
        browse->setPixmap(face);
        browse->setFrameShape(QFrame::NoFrame);
        browse->resize(face.deviceIndependentSize().toSize());
        SetRoundRegion(browse, kSysDirCorner, kSysDirCorner);
    }
}

}  // namespace hivora
