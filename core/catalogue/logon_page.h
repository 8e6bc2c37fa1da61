#pragma once
// The logon frames of the first page. The four style rows are logonStyleCatalogue()
// (CataloguePage::LogonStyle, run with runRowAction). The appearance frame shows the logon
// screen's picture and colour, which the default profile (HKEY_USERS ".DEFAULT") holds; its four
// buttons are the functions below, which return what the previews show instead of drawing it.
// Nothing here raises NeedsRestart.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/catalogue/row_dispatch.h"

namespace hivora {

inline constexpr std::string_view kLogonStyleFrameCaption = "登录系统样式";
inline constexpr std::string_view kLogonShowFrameCaption = "WinXP系统登录时外观(传统登录方式)";
inline constexpr std::string_view kBackgroundCaption = "背景图案：";
inline constexpr std::string_view kBackColorCaption = "背景颜色：";

// Where the appearance frame takes effect: the classic logon, whose screen shows the default
// profile's picture and colour, went with Vista (its logon component "is no longer available for
// use as of Windows Server 2008 and Windows Vista"); since then the logon screen draws a picture
// of its own. Nothing of the frame's means that, so it is not widened.
// Source:
// https://learn.microsoft.com/en-us/windows/win32/api/winwlx/nf-winwlx-wlxdisplaystatusmessage
inline constexpr WindowsGenerations kLogonAppearanceTakesEffectOn =
    before(WindowsGeneration::Vista7);

// The logon screen's default colour, red 58, green 110, blue 165 (0x00BBGGRR).
inline constexpr std::int32_t kDefaultLogonColor = 10841658;
// The label under the picture preview when there is no picture.
inline constexpr std::string_view kNoPictureLabel = "(无)";

// What the picture preview shows.
struct LogonPicturePreview {
    // The picture to load on this machine (a host path); "" for none: the preview then shows no
    // picture on the default colour (kDefaultLogonColor). If loading fails the preview shows no
    // picture either; the label stays.
    std::string pictureFile;
    // The file name after the last backslash (or slash) of the stored path, or "(无)".
    std::string label;

    bool operator==(const LogonPicturePreview&) const = default;
};

struct LogonAppearance {
    LogonPicturePreview picture;
    std::int32_t backColor = kDefaultLogonColor;  // the colour swatch

    bool operator==(const LogonAppearance&) const = default;
};

// ShowLogonAppearance: the previews as the registry describes them, read at start-up. A stored
// "wallpaper" ending in ".bmp" (any case) that names an existing file gives that picture and its
// file name; anything else gives no picture and "(无)". A stored "Background" that is missing,
// empty or above 0xFFFFFF gives the default colour; a text that is no colour gives 0 (black).
// Never fails and shows no message.
LogonAppearance ShowLogonAppearance(CatalogueServices& services);

// Whether the picture at a host path can be loaded; the page passes its toolkit's loader.
using PictureLoadCheck = std::function<bool(const std::string& hostPath)>;

// The outcome of an appearance button, and the preview to show afterwards (nothing: the preview
// stays as it is).
struct LogonPictureResult {
    RowOutcome outcome;
    std::optional<LogonPicturePreview> picture;
};
struct LogonColorResult {
    RowOutcome outcome;
    std::optional<std::int32_t> color;
};

// The picture select: asks for a bitmap ("位图(*.bmp)|*.bmp"). A cancelled dialog, a file that
// does not exist, and one that `canLoad` refuses show "设置出错！" and write nothing (completed
// false, the preview stays). Otherwise writes "wallpaper" (the file's Windows path when the store
// is a Wine prefix), "Tilewallpaper" = "1" and the classic logon ("LogonType" = 0), shows no
// message and returns the new preview; a failed write shows "设置出错！" and returns no preview.
LogonPictureResult runLogonPictureSelect(CatalogueServices& services,
                                         const PictureLoadCheck& canLoad);

// The picture default: writes "wallpaper" = "(无)" and "Tilewallpaper" = "0"; no message on
// success, "设置出错！" on failure. The preview becomes no picture and "(无)" in either case.
LogonPictureResult runLogonPictureDefault(CatalogueServices& services);

// The colour select: the colour dialog opens on the default colour. A colour other than the
// default is written as colour text to "Background" and returned; cancelling (or choosing the
// default itself) writes nothing and returns no colour (completed false). No message on success,
// "设置出错！" when the write fails (the colour is then not returned).
LogonColorResult runLogonColorSelect(CatalogueServices& services);

// The colour default: writes "Background" = "58 110 165"; the swatch takes the default colour
// in either case; no message on success, "设置出错！" on failure.
LogonColorResult runLogonColorDefault(CatalogueServices& services);

}  // namespace hivora
