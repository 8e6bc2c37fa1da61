#include "gui/form_about.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/color_value.h"

namespace hivora {

namespace {

constexpr char kCredits[] =
    "一个小工具：打开或关闭 Windows 外壳、浏览器、登录和策略的常用设置，\n"
    "并管理登录时启动的程序。所做的修改都写入注册表中公开的键值。\n"
    "\n"
    "Hivora 开发组 · 使用 Qt 构建";

}  // namespace

FormAbout::FormAbout(const ColorSettings& colors, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("Form_About"));
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qColorOf(colors.backColor));
    palette.setColor(QPalette::WindowText, qColorOf(colors.fontColor));
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(8);
    auto* name = new QLabel(QStringLiteral("Hivora"), this);
    name->setObjectName(QStringLiteral("Label_Name"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("V1.0"), this);
    version->setObjectName(QStringLiteral("Label_Version"));
    auto* credits = new QLabel(QString::fromUtf8(kCredits), this);
    credits->setObjectName(QStringLiteral("Label_Credits"));
    auto* ok = new QPushButton(QStringLiteral("确 定"), this);
    ok->setObjectName(QStringLiteral("Command_OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(credits, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

}  // namespace hivora
