#pragma once
// Form_About: the small modal About box of the main window, in the configured background and
// text colours, with the program's name, its version, a few words of credit and one OK button.

#include <QDialog>

#include "core/config/color_config.h"

namespace hivora {

inline constexpr char kAboutCaption[] = "关于 Hivora V1.0";

class FormAbout : public QDialog {
    Q_OBJECT
  public:
    FormAbout(const ColorSettings& colors, QWidget* owner);
};

}  // namespace hivora
