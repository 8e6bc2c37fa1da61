#pragma once
// The program's main window. For now it holds the five tab pages with their captions and tells
// which registry store the program works on; the pages fill in as their rows are built.

#include <QWidget>

namespace hivora {

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // `storeDescription` names the registry the program writes (a folder or "Windows 注册表").
    explicit MainWindow(const QString& storeDescription, QWidget* parent = nullptr);
};

}  // namespace hivora
