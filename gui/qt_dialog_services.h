#pragma once
// The dialog services in Qt: message boxes, the input box, the open-file and colour dialogs, the
// folder browser and the command launcher, all modal on the window that owns them.

#include <memory>

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
    std::int32_t ShowColorDialog(std::int32_t initialColor) override;
    Status RunCommand(const std::string& commandLine, int windowStyle) override;
    std::string BrowseForFolder(const std::string& title) override;

    void setOwner(QWidget* owner) { m_owner = owner; }

  private:
    QWidget* m_owner;
    CommandLauncher& m_launcher;
};

}  // namespace hivora
