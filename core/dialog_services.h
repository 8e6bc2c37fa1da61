#pragma once
// The modal services through which every action talks to the user. The Qt implementation lives in
// gui/; tests use a scripted double that answers in order and records each call. All calls block
// until the user closes the box.

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace hivora {

// Message box buttons (one of the first three, plus at most one icon).
inline constexpr int kMbOk = 0;
inline constexpr int kMbYesNoCancel = 3;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbIconError = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconWarning = 48;
inline constexpr int kMbIconInformation = 64;

// Message box results.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The title of a box whose caller gives none.
inline constexpr const char* kApplicationTitle = "Quillon";

// The folder browser's title.
inline constexpr const char* kFolderBrowserTitle = "请选择文件夹：";

// `title`, or the application title when it is empty.
inline std::string dialogTitle(const std::string& title) {
    return title.empty() ? std::string(kApplicationTitle) : title;
}

class DialogServices {
  public:
    virtual ~DialogServices() = default;

    // `buttons` is a button code plus an optional icon code; the prompt may hold "\r\n". Returns
    // the button pressed (kIdOk, kIdCancel, kIdYes, kIdNo). Closing the box without a button
    // answers Cancel for Yes/No/Cancel, No for Yes/No (so that it never takes the "go on" path)
    // and OK for OK alone.
    virtual int ShowMessageBox(const std::string& prompt, int buttons,
                               const std::string& title = {}) = 0;
    // The edited text on OK (initially `defaultText`), "" on Cancel. `masked` hides what is typed.
    virtual std::string ShowInputBox(const std::string& prompt, const std::string& title = {},
                                     const std::string& defaultText = {}, bool masked = false) = 0;
    // `filter` as "description|pattern|description|pattern", masks in a pattern joined by ";".
    // The chosen file's full path, or "" on Cancel.
    virtual std::string ShowOpenFileDialog(const std::string& filter) = 0;
    // Where to save a file: `filter` as for ShowOpenFileDialog, `suggestedName` the name offered.
    // A name typed without an ending gets the ending of the filter chosen. The full path, or ""
    // on Cancel.
    virtual std::string ShowSaveFileDialog(const std::string& filter,
                                           const std::string& suggestedName) = 0;
    // The chosen colour (0x00BBGGRR), or `initialColor` unchanged on Cancel.
    virtual std::int32_t ShowColorDialog(std::int32_t initialColor) = 0;
    // Starts the command line and returns at once; window style 2 starts it minimised.
    virtual Status RunCommand(const std::string& commandLine, int windowStyle) = 0;
    // The platform's folder browser, titled `title` (kFolderBrowserTitle when empty); the chosen
    // folder's path or "" on Cancel.
    virtual std::string BrowseForFolder(const std::string& title) = 0;
};

}  // namespace hivora
