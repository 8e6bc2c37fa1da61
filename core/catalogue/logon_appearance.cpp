// The logon screen's appearance: the previews read from the default profile, and the four
// buttons that change them.

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "core/catalogue/file_checks.h"
#include "core/catalogue/logon_page.h"
#include "core/catalogue/registry_locations.h"
#include "core/registry/value_conversions.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHku = kHkeyUsers;
constexpr const char* kBackgroundValue = "Background";
constexpr const char* kDefaultColorText = "58 110 165";

// The paths as the registry holds them and as this machine finds them.
class Paths {
  public:
    explicit Paths(const CatalogueServices& services)
        : m_identity(services.paths ? nullptr : makeIdentityPathMapping()),
          m_mapping(services.paths ? *services.paths : *m_identity),
          m_files(services.files, m_mapping) {}
    const PathMapping& mapping() const { return m_mapping; }
    const FileSystem& files() const { return m_files; }

  private:
    std::unique_ptr<PathMapping> m_identity;
    const PathMapping& m_mapping;
    MappedFileSystem m_files;
};

std::string fileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool endsWithBmp(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".bmp";
}

LogonPicturePreview noPicture() {
    return {"", std::string(kNoPictureLabel)};
}

std::string readDefaultProfileText(CatalogueServices& services, const char* key, const char* name) {
    std::int32_t errorFlag = 0;
    return services.layer.GetRegString(kHku, key, name, kKeyAllAccess, errorFlag);
}

RowOutcome runOps(CatalogueServices& services, const std::vector<RegOp>& ops,
                  const ActionLabel& label) {
    // The appearance buttons confirm nothing; only a failure is reported.
    const ButtonAction action{ops, nullptr, OutcomeMessage::None, false};
    return runButtonAction(services, action, false, label);
}

RowOutcome refused(CatalogueServices& services, std::string why) {
    RowOutcome outcome;
    outcome.status = Status::error(std::move(why));
    outcome.shown = OutcomeMessage::SetError;
    services.framework.ShowSetError();
    return outcome;
}

}  // namespace

LogonAppearance ShowLogonAppearance(CatalogueServices& services) {
    const Paths paths(services);
    LogonAppearance appearance;

    std::string& text = services.framework.ScratchText();
    text = readDefaultProfileText(services, kDefaultDesktop, "wallpaper");
    if (endsWithBmp(text) && FileExists(paths.files(), text)) {
        appearance.picture = {paths.mapping().hostPath(text), fileNameOf(text)};
    } else {
        appearance.picture = noPicture();
    }

    text = readDefaultProfileText(services, kDefaultColors, kBackgroundValue);
    if (text.empty()) {
        appearance.backColor = kDefaultLogonColor;
    } else {
        // A text that is no colour leaves the value at 0: the swatch shows black.
        const std::int32_t color = RgbTextToColor(text).valueOr(0);
        appearance.backColor = color > 0xFFFFFF ? kDefaultLogonColor : color;
    }
    return appearance;
}

LogonPictureResult runLogonPictureSelect(CatalogueServices& services,
                                         const PictureLoadCheck& canLoad) {
    const Paths paths(services);
    std::string& chosen = services.framework.ScratchText();
    chosen = services.framework.dialogs().ShowOpenFileDialog("位图(*.bmp)|*.bmp");
    if (!FileExists(paths.files(), chosen)) {
        return {refused(services, chosen.empty() ? "没有选择文件" : "文件不存在：" + chosen), {}};
    }
    const std::string hostFile = paths.mapping().hostPath(chosen);
    if (canLoad && !canLoad(hostFile)) {
        return {refused(services, "无法读取图片：" + chosen), {}};
    }
    const LogonPicturePreview preview{hostFile, fileNameOf(chosen)};
    const std::string stored = paths.mapping().windowsPath(chosen);
    const RowOutcome outcome =
        runOps(services, {setString(kHku, kDefaultDesktop, "wallpaper", stored),
                          setString(kHku, kDefaultDesktop, "Tilewallpaper", "1"),
                          setDword(kHkeyLocalMachine, kWinlogon, "LogonType", 0)},
               {"logonScreen", -1, "backgroundSelect", std::string(kBackgroundCaption)});
    if (!outcome.status.isOk()) return {outcome, {}};
    return {outcome, preview};
}

LogonPictureResult runLogonPictureDefault(CatalogueServices& services) {
    const RowOutcome outcome = runOps(
        services, {setString(kHku, kDefaultDesktop, "wallpaper", std::string(kNoPictureLabel)),
                   setString(kHku, kDefaultDesktop, "Tilewallpaper", "0")},
        {"logonScreen", -1, "backgroundDefault", std::string(kBackgroundCaption)});
    return {outcome, noPicture()};
}

LogonColorResult runLogonColorSelect(CatalogueServices& services) {
    const std::int32_t color = services.framework.dialogs().ShowColorDialog(kDefaultLogonColor);
    if (color == kDefaultLogonColor) return {};
    const RowOutcome outcome = runOps(
        services, {setString(kHku, kDefaultColors, kBackgroundValue, ColorToRgbText(color))},
        {"logonScreen", -1, "colorSelect", std::string(kBackColorCaption)});
    if (!outcome.status.isOk()) return {outcome, {}};
    return {outcome, color};
}

LogonColorResult runLogonColorDefault(CatalogueServices& services) {
    const RowOutcome outcome =
        runOps(services, {setString(kHku, kDefaultColors, kBackgroundValue, kDefaultColorText)},
               {"logonScreen", -1, "colorDefault", std::string(kBackColorCaption)});
    return {outcome, kDefaultLogonColor};
}

}  // namespace hivora
