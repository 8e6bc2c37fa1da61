#pragma once
// The dialog services in Qt: message boxes, the input box, the open-file and colour dialogs, the
// folder browser and the command launcher, all modal on the window that owns them. Buttons and
// labels are in Chinese; the codes and results follow core/dialog_services.h and
// core/ui/dialog_looks.h.

#include <string>
#include <vector>

#include "core/dialog_services.h"
#include "platform/system_services.h"

class QWidget;

namespace hivora {

class QtDialogServices : public DialogServices {
  public:
    // `owner` parents every box (nullptr: none); `launcher` starts commands for RunCommand.
    QtDialogServices(QWidget* owner, CommandLauncher& launcher);

    int ShowMessageBox(const std::string& prompt, int buttons,
                       const std::string& title = {}) override;
    std::string ShowInputBox(const std::string& prompt, const std::string& title = {},
                             const std::string& defaultText = {}, bool masked = false) override;
    std::string ShowOpenFileDialog(const std::string& filter) override;
    std::string ShowSaveFileDialog(const std::string& filter,
                                   const std::string& suggestedName) override;
    std::int32_t ShowColorDialog(std::int32_t initialColor) override;
    Status RunCommand(const std::string& commandLine, int windowStyle) override;
    std::string BrowseForFolder(const std::string& title) override;

    // A choice of one of `items` (not empty) in a list box. Returns the index chosen, or -1 when
    // the box is cancelled.
    int ShowItemChoice(const std::string& prompt, const std::vector<std::string>& items,
                       const std::string& title = {});

    void setOwner(QWidget* owner) { m_owner = owner; }
    // The folder the file dialog and the folder browser open in; "" leaves it to Qt (the working
    // folder). With a Wine prefix as the store, the window passes the prefix's drive_c.
    void setStartFolder(std::string folder) { m_startFolder = std::move(folder); }
    const std::string& startFolder() const { return m_startFolder; }

  private:
    QWidget* m_owner;
    CommandLauncher& m_launcher;
    std::string m_startFolder;
};

// The folder the dialogs start in for a store in `storeFolder`: its "drive_c" when that folder
// exists (a Wine prefix), otherwise "".
std::string dialogStartFolder(const std::string& storeFolder);

}  // namespace hivora
