#include "gui/main_window.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace hivora {

namespace {

// The five tabs, left to right.
constexpr const char* kTabCaptions[] = {"开机启动", "桌面背景", "IE设置", "系统设置", "系统信息"};

}  // namespace

MainWindow::MainWindow(const QString& storeDescription, QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Hivora"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    for (const char* caption : kTabCaptions) {
        tabs->addTab(new QWidget(tabs), QString::fromUtf8(caption));
    }
    layout->addWidget(tabs);
    layout->addWidget(new QLabel(QStringLiteral("注册表：%1").arg(storeDescription), this));
    resize(804, 577);
}

}  // namespace hivora
