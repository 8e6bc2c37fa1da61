// The frames of settings rows whose state is read, in the order of the window's tabs, and the
// text-box rows built from what their buttons write.

#include "core/catalogue/browser_page.h"
#include "core/catalogue/row_dispatch.h"
#include "core/catalogue/system_info_page.h"
#include "core/livestate/live_state.h"

namespace hivora {
namespace {

// The text-box rows, from what their buttons write for a sample text.
std::vector<TextBoxRow> pageAddressRows() {
    std::vector<TextBoxRow> rows;
    for (int row = 0; row < kIEPageRowCount; ++row) {
        rows.push_back({std::string(iePageCaption(row)), iePageWrites(row, "1"),
                        iePageWrites(row, std::string(iePageFactoryDefault(row))),
                        iePageTakesEffectOn(row)});
    }
    return rows;
}

std::vector<TextBoxRow> specialFolderRows() {
    std::vector<TextBoxRow> rows;
    for (int row = 0; row < kSysDirRowCount; ++row) {
        rows.push_back({std::string(sysDirCaption(row)), sysDirWrites(row, "C:\\1"), {}});
    }
    return rows;
}

std::vector<TextBoxRow> registrationRows() {
    return {
        {std::string(kOwnerCaption), regToWrites("1", "", ""), {}},
        {std::string(kOrganisationCaption), regToWrites("", "1", ""), {}},
        {std::string(kComputerNameCaption), regToWrites("", "", "1"), {}},
    };
}

const std::vector<StatePage>& allStatePages() {
    static const std::vector<TextBoxRow> addresses = pageAddressRows();
    static const std::vector<TextBoxRow> folders = specialFolderRows();
    static const std::vector<TextBoxRow> registration = registrationRows();
    static const std::vector<StatePage> pages = {
        {"开机启动·登录系统样式", CataloguePage::LogonStyle, {}, {}},
        {"桌面背景", CataloguePage::Desktop, {}, {}},
        {"IE设置·页面", std::nullopt, TextBoxPage::PageAddresses, addresses},
        {"IE设置·属性", CataloguePage::BrowserProperties, {}, {}},
        {"系统设置·禁止", CataloguePage::Restrictions, {}, {}},
        {"系统设置·隐藏", CataloguePage::HideShow, {}, {}},
        {"系统信息·目录位置", std::nullopt, TextBoxPage::SpecialFolders, folders},
        {"系统信息·注册到", std::nullopt, TextBoxPage::Registration, registration},
    };
    return pages;
}

}  // namespace

std::span<const StatePage> statePages() {
    return allStatePages();
}

std::size_t rowCount(const StatePage& page) {
    return page.page ? pageCatalogue(*page.page).rows.size() : page.textRows.size();
}

std::vector<PageStates> readAllStates(LiveStateReader& reader) {
    std::vector<PageStates> all;
    for (const StatePage& page : statePages()) {
        PageStates states{&page, {}};
        states.rows.reserve(rowCount(page));
        if (page.page) {
            for (const CatalogueRow& row : pageCatalogue(*page.page).rows) {
                states.rows.push_back(reader.readRow(row));
            }
        } else {
            for (const TextBoxRow& row : page.textRows) states.rows.push_back(reader.readRow(row));
        }
        all.push_back(std::move(states));
    }
    return all;
}

}  // namespace hivora
