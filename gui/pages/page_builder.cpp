#include "gui/pages/page_builder.h"

#include <QGroupBox>
#include <QWidget>

#include "core/ui/twips.h"
#include "gui/pages/page_layout.h"
#include "gui/pages/page_parts.h"

namespace hivora {

namespace {

// Page 1: the twelve desktop rows fill the page.
void buildDesktopPage(QWidget* page, CatalogueServices& services) {
    const QRect area(kPageMargin + 4, kPageMargin, page->width() - 2 * (kPageMargin + 4),
                     page->height() - 2 * kPageMargin);
    addCatalogueRows(page, area,
                     {desktopCatalogue(),
                      0,
                      12,
                      {"Label_DesktopSetting", "Picture_DesktopSet", "Picture_DesktopUnset"}},
                     services);
}

// Page 3: the restrictions on the left; the desktop hide-and-show rows and the Start-menu rows on
// the right, one above the other.
void buildSystemPage(QWidget* page, CatalogueServices& services) {
    const int columnWidth = (page->width() - 3 * kPageMargin) / 2;
    const int fullHeight = page->height() - 2 * kPageMargin;
    const int rightLeft = 2 * kPageMargin + columnWidth;

    QGroupBox* forbid = addFrame(page, "Frame_Forbid", " 禁止 ",
                                 QRect(kPageMargin, kPageMargin, columnWidth, fullHeight));
    addCatalogueRows(
        forbid, frameContentArea(forbid),
        {restrictionsCatalogue(), 0, 13, {"Label_ForbidTips", "Picture_Forbid", "Picture_Passage"}},
        services);

    // The two right frames share the column so that their rows (7 and 5) get one pitch: the
    // height left after both frames' borders and captions, split by rows.
    QGroupBox* hide =
        addFrame(page, "Frame_Hide", " 隐藏 ", QRect(rightLeft, kPageMargin, columnWidth, 100));
    const int overhead = 100 - frameContentArea(hide).height();
    const int pitch = (fullHeight - kPageMargin - 2 * overhead) / 12;
    const int hideHeight = 7 * pitch + overhead;
    hide->resize(columnWidth, hideHeight);
    addCatalogueRows(
        hide, frameContentArea(hide),
        {hideShowCatalogue(), 0, 7, {"Label_HideTips", "Picture_Hide", "Picture_Show"}}, services);

    const int menuTop = kPageMargin + hideHeight + kPageMargin;
    QGroupBox* menu = addFrame(page, "Frame_HideMenu", " 隐藏[开始]菜单中 ",
                               QRect(rightLeft, menuTop, columnWidth, 5 * pitch + overhead));
    addCatalogueRows(
        menu, frameContentArea(menu),
        {hideShowCatalogue(), 7, 5, {"Label_HideTips", "Picture_Hide", "Picture_Show"}}, services);
}

}  // namespace

QSize designedPageSize() {
    return {twipsToPixels(11580), twipsToPixels(7100)};
}

QRect startupFrameArea() {
    return {twipsToPixels(3840), twipsToPixels(120), twipsToPixels(7575), twipsToPixels(4215)};
}

void buildPage(int index, QWidget* page, PageServices& services) {
    if (page == nullptr) return;
    // The window may lay its pages out only later; the layout below is made for this size.
    page->resize(designedPageSize());
    switch (index) {
        case 0:
            buildLogonFrames(page, services);
            break;
        case 1:
            buildDesktopPage(page, services.catalogue);
            break;
        case 2:
            buildBrowserPage(page, services);
            break;
        case 3:
            buildSystemPage(page, services.catalogue);
            break;
        case 4:
            buildSystemInfoPage(page, services);
            break;
        default:
            break;
    }
}

}  // namespace hivora
