#include "gui/qt_dialog_services.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace hivora {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

QtDialogServices::QtDialogServices(QWidget* owner, CommandLauncher& launcher)
    : m_owner(owner), m_launcher(launcher) {}

int QtDialogServices::ShowMessageBox(const std::string& prompt, int buttons,
                                     const std::string& title) {
    QMessageBox box(m_owner);
    box.setWindowTitle(fromUtf8(dialogTitle(title)));
    QString text = fromUtf8(prompt);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(text);
    const int buttonSet = buttons & 0x0F;
    if (buttonSet == kMbYesNoCancel || buttonSet == kMbYesNo) {
        box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole)->setObjectName("yes");
        box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole)->setObjectName("no");
        if (buttonSet == kMbYesNoCancel) {
            box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole)->setObjectName("cancel");
        }
    } else {
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole)->setObjectName("ok");
    }
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    const QString name = clicked ? clicked->objectName() : QString();
    if (name == QLatin1String("yes")) return kIdYes;
    if (name == QLatin1String("no")) return kIdNo;
    if (name == QLatin1String("ok")) return kIdOk;
    return buttonSet == kMbOk ? kIdOk : kIdCancel;
}

std::string QtDialogServices::ShowInputBox(const std::string& prompt, const std::string& title,
                                           const std::string& defaultText, bool masked) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        m_owner, fromUtf8(dialogTitle(title)), fromUtf8(prompt),
        masked ? QLineEdit::Password : QLineEdit::Normal, fromUtf8(defaultText), &ok);
    return ok ? toUtf8(text) : std::string();
}

std::string QtDialogServices::ShowOpenFileDialog(const std::string& filter) {
    // "description|pattern|description|pattern" becomes Qt's "description (p1 p2);;...".
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        qtFilters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return toUtf8(
        QFileDialog::getOpenFileName(m_owner, QString(), QString(), qtFilters.join(";;")));
}

std::int32_t QtDialogServices::ShowColorDialog(std::int32_t initialColor) {
    const auto bgr = static_cast<std::uint32_t>(initialColor);
    const QColor initial(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, m_owner);
    if (!chosen.isValid()) return initialColor;
    return static_cast<std::int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
}

Status QtDialogServices::RunCommand(const std::string& commandLine, int windowStyle) {
    return m_launcher.runCommand(commandLine, windowStyle);
}

std::string QtDialogServices::BrowseForFolder(const std::string& title) {
    return toUtf8(QFileDialog::getExistingDirectory(m_owner, fromUtf8(title)));
}

}  // namespace hivora
