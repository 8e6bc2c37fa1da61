// The window's side of the change journal: undo and redo, the history window, and exporting and
// importing changes from it. What each does lives in core/journal and core/export; here the
// window asks where, reads and writes the file, and tells the outcome in a box.

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/catalogue/tweak_framework.h"
#include "core/export/export_file.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_undo.h"
#include "gui/history_window.h"
#include "gui/main_window.h"
#include "gui/startup_frame.h"

namespace hivora {
namespace {

void tell(DialogServices& dialogs, const std::string& prompt) {
    (void)dialogs.ShowMessageBox(prompt, kMbOk, std::string(kOutcomeTitle));
}

}  // namespace

void MainWindow::afterUndoOrRedo() {
    // The list holds what it read before; whatever the outcome, it shows the store now. Switched
    // shortcuts' files follow the undone keys at once, on any page: a second undo must find them.
    if (m_tabStrip.CurrentPage() == 0) {
        refreshStartupList();
    } else if (m_startupFrame != nullptr) {
        (void)m_startupFrame->list().followBackupKeys();
    }
}

void MainWindow::undoLatestAction() {
    if (m_services.journal == nullptr || m_services.registryLayer == nullptr) return;
    UndoServices services{*m_services.registryLayer, *m_services.journal, m_services.dialogs};
    (void)undoLatest(services);
    afterUndoOrRedo();
    emit undoFinished();
}

void MainWindow::redoLatestAction() {
    if (m_services.journal == nullptr || m_services.registryLayer == nullptr) return;
    UndoServices services{*m_services.registryLayer, *m_services.journal, m_services.dialogs};
    (void)redoLatest(services);
    afterUndoOrRedo();
    emit undoFinished();
}

void MainWindow::showHistory() {
    if (m_services.journal == nullptr || m_services.codec == nullptr) return;
    HistoryWindow history(
        *m_services.journal, *m_services.codec,
        {[this] { undoLatestAction(); }, [this] { redoLatestAction(); },
         [this](const std::vector<std::size_t>& entries) { exportEntries(entries); },
         [this] { importRegistryFile(); }},
        this);
    history.exec();
}

void MainWindow::exportEntries(const std::vector<std::size_t>& entries) {
    if (m_services.journal == nullptr || m_services.codec == nullptr) return;
    DialogServices& dialogs = m_services.dialogs;
    if (entries.empty()) {
        tell(dialogs, "请先在列表中选择要导出的操作。");
        return;
    }
    const std::string path = dialogs.ShowSaveFileDialog(kExportFilter, "hivora.reg");
    if (path.empty()) return;
    const std::optional<ExportFormat> format = exportFormatOfFile(path);
    if (!format) {
        tell(dialogs,
             "无法识别的文件类型：" + path + "\r\n请使用 .reg、.ps1 或 .yml 结尾的文件名。");
        return;
    }
    const Result<ExportText> text =
        exportText(m_services.journal->entries(), entries, *format, *m_services.codec);
    if (!text) {
        tell(dialogs,
             std::string(outcomeText(OutcomeMessage::SetError)) + "\r\n" + text.status().message());
        return;
    }
    // Written whole or not at all: a half-written file is never left under that name.
    QSaveFile file(QString::fromStdString(path));
    const QByteArray bytes = QByteArray::fromStdString(text.value().bytes);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        tell(dialogs,
             std::string(outcomeText(OutcomeMessage::SetError)) + "\r\n无法写入文件：" + path);
        return;
    }
    tell(dialogs, "已导出 " + std::to_string(text.value().changes) + " 项修改到 " + path);
}

void MainWindow::importRegistryFile() {
    if (m_services.registryLayer == nullptr) return;
    DialogServices& dialogs = m_services.dialogs;
    const std::string path =
        dialogs.ShowOpenFileDialog("注册表文件(*.reg)|*.reg|所有文件(ALL FILES)|*.*");
    if (path.empty()) return;
    // A FIFO or a device would never end; a .reg file of a registry is far below the bound.
    constexpr qint64 kLargestRegFile = 256LL * 1024 * 1024;
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile() || info.size() > kLargestRegFile) {
        tell(dialogs, "不是可以导入的注册表文件：" + path);
        return;
    }
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        tell(dialogs, "无法读取文件：" + path);
        return;
    }
    const QByteArray bytes = file.readAll();
    const Result<std::size_t> applied = importRegFile(
        *m_services.registryLayer, m_services.recorder,
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), path);
    if (applied) {
        tell(dialogs, "已导入！（" + std::to_string(applied.value()) + " 项操作）");
    } else {
        tell(dialogs, std::string(outcomeText(OutcomeMessage::SetError)) + "\r\n" +
                          applied.status().message());
    }
    if (m_tabStrip.CurrentPage() == 0) refreshStartupList();
    emit undoFinished();
}

}  // namespace hivora
