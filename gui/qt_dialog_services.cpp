#include "gui/qt_dialog_services.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include "core/ui/dialog_looks.h"
#include "gui/color_value.h"

namespace hivora {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole qtRole(int result) {
    switch (result) {
        case kIdYes:
            return QMessageBox::YesRole;
        case kIdNo:
            return QMessageBox::NoRole;
        case kIdCancel:
            return QMessageBox::RejectRole;
        default:
            return QMessageBox::AcceptRole;
    }
}

// Qt's "description (mask mask)" entries. Qt takes the masks from the last parentheses, so a
// description that shows its masks itself ("位图(*.bmp)") keeps them visible.
QStringList qtFilters(const std::string& filter) {
    QStringList filters;
    for (const FileFilter& entry : parseFileFilter(filter)) {
        QStringList masks;
        for (const std::string& mask : entry.masks) masks << fromUtf8(mask);
        filters << QStringLiteral("%1 (%2)").arg(fromUtf8(entry.description), masks.join(' '));
    }
    return filters;
}

}  // namespace

std::string dialogStartFolder(const std::string& storeFolder) {
    if (storeFolder.empty()) return {};
    const QDir driveC(
        QDir(QString::fromStdString(storeFolder)).filePath(QStringLiteral("drive_c")));
    return driveC.exists() ? toUtf8(driveC.absolutePath()) : std::string();
}

QtDialogServices::QtDialogServices(QWidget* owner, CommandLauncher& launcher)
    : m_owner(owner), m_launcher(launcher) {}

int QtDialogServices::ShowMessageBox(const std::string& prompt, int buttons,
                                     const std::string& title) {
    const MessageBoxLook look = describeMessageBox(buttons);
    QMessageBox box(m_owner);
    box.setWindowTitle(fromUtf8(dialogTitle(title)));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(promptLines(prompt)));
    box.setIcon(qtIcon(look.icon));
    QPushButton* escape = nullptr;
    for (const MessageButton& shown : look.buttons) {
        QPushButton* button = box.addButton(fromUtf8(shown.text), qtRole(shown.result));
        button->setProperty("result", shown.result);
        if (shown.result == look.closeResult) escape = button;
        if (box.defaultButton() == nullptr) box.setDefaultButton(button);
    }
    box.setEscapeButton(escape);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    return clicked != nullptr ? clicked->property("result").toInt() : look.closeResult;
}

std::string QtDialogServices::ShowInputBox(const std::string& prompt, const std::string& title,
                                           const std::string& defaultText, bool masked) {
    QInputDialog dialog(m_owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(fromUtf8(dialogTitle(title)));
    dialog.setLabelText(fromUtf8(promptLines(prompt)));
    dialog.setTextValue(fromUtf8(defaultText));
    dialog.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted) return {};
    return toUtf8(dialog.textValue());
}

int QtDialogServices::ShowItemChoice(const std::string& prompt,
                                     const std::vector<std::string>& items,
                                     const std::string& title) {
    QStringList choices;
    for (const std::string& item : items) choices << fromUtf8(item);
    QInputDialog dialog(m_owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(fromUtf8(dialogTitle(title)));
    dialog.setLabelText(fromUtf8(promptLines(prompt)));
    dialog.setComboBoxItems(choices);
    dialog.setComboBoxEditable(false);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted) return -1;
    return static_cast<int>(choices.indexOf(dialog.textValue()));
}

std::string QtDialogServices::ShowOpenFileDialog(const std::string& filter) {
    QFileDialog dialog(m_owner, QStringLiteral("打开"), fromUtf8(m_startFolder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = qtFilters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("打开"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return toUtf8(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

std::string QtDialogServices::ShowSaveFileDialog(const std::string& filter,
                                                 const std::string& suggestedName) {
    QFileDialog dialog(m_owner, QStringLiteral("另存为"), fromUtf8(m_startFolder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qtFilters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.selectFile(fromUtf8(suggestedName));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("保存在："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("保存类型："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString chosen = dialog.selectedFiles().constFirst();
    // A name typed without an ending takes the chosen filter's ("*.reg" gives ".reg").
    if (QFileInfo(chosen).suffix().isEmpty()) {
        const QString selected = dialog.selectedNameFilter();
        const qsizetype star = selected.indexOf(QStringLiteral("*."));
        if (star >= 0) {
            const qsizetype end = selected.indexOf(QRegularExpression(QStringLiteral("[ );]")),
                                                  star);
            chosen += selected.mid(star + 1, end < 0 ? -1 : end - star - 1);
        }
    }
    return toUtf8(QDir::toNativeSeparators(chosen));
}

std::int32_t QtDialogServices::ShowColorDialog(std::int32_t initialColor) {
    QColorDialog dialog(qColorOf(initialColor), m_owner);
    dialog.setWindowTitle(QStringLiteral("颜色"));
    if (dialog.exec() != QDialog::Accepted) return initialColor;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid()) return initialColor;
    return colorValueOf(chosen);
}

Status QtDialogServices::RunCommand(const std::string& commandLine, int windowStyle) {
    return m_launcher.runCommand(commandLine, windowStyle);
}

std::string QtDialogServices::BrowseForFolder(const std::string& title) {
    const QString shown = fromUtf8(title.empty() ? std::string(kFolderBrowserTitle) : title);
    QFileDialog dialog(m_owner, shown, fromUtf8(m_startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件夹："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("选择"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return toUtf8(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

}  // namespace hivora
