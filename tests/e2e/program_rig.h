#pragma once
// The program as a user runs it, in a test: a home of its own in a temporary folder (config,
// journal and private store all below it), the window built by WindowProgram exactly as main()
// builds it over the real Qt dialog services, and a script answering the modal boxes. Presses go
// through Qt's event system to controls found by their object names; what reached the disk is
// read back from the hive files with a store opened afresh.

#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/window_program.h"
#include "gui/qt_dialog_services.h"
#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/system_services.h"
#include "tests/e2e/modal_answers.h"

namespace hivora::e2e {

enum class StoreKind {
    NotYetMade,   // the private store, whose folder does not exist yet
    EmptyFolder,  // --prefix to an empty folder
    Seeded,       // --prefix to a folder whose rows are all set already
    WinePrefix,   // --prefix to a copy of a fresh Wine prefix
};

// A fresh Wine prefix, made once per run (empty when Wine is not installed or wineboot failed).
const std::string& freshWinePrefix();

class DiskView;

class ProgramRig {
  public:
    explicit ProgramRig(StoreKind kind);
    ~ProgramRig();

    // Shows the window and waits until the store is open and the pages are live.
    void start();

    WindowProgram& program() { return *m_program; }
    MainWindow& window() { return m_program->window(); }
    ModalAnswers& answers() { return m_answers; }
    const std::string& storeFolder() const { return m_storeFolder; }
    // A picture and a folder that exist, in the form the dialogs give them.
    const QString& picture() const { return m_picture; }
    const QString& folder() const { return m_folder; }

    // Replaces the answers the script gives to input boxes with this prompt (a prefix of it).
    void answerInput(const QString& promptStart, const QString& answer);
    void answerQuestion(const QString& promptStart, const QString& answer);
    // From now on the file dialogs (open and save) are answered with `path`.
    void answerFiles(const QString& path) { m_fileAnswer = path; }
    // Dialogs of the program's own (the history window) are handed to `use` while they are up,
    // then closed; without it they are closed at once.
    void whenOwnDialog(std::function<void(QDialog*)> use) { m_ownDialog = std::move(use); }

    void showPage(int page);
    // The widget named `name` anywhere in the window; fails the test when there is none.
    QWidget* find(const QString& name);
    void press(QWidget* control);
    void press(const QString& name) { press(find(name)); }
    void typeInto(const QString& name, const QString& text);
    void key(int key, Qt::KeyboardModifiers modifiers);

    // The three hive files as they are on disk, without the times Wine's format stamps on keys.
    std::map<std::string, std::string> hiveTexts() const;
    // A value as a store opened afresh on the folder reads it; nothing when it is absent.
    // (Each call opens the store anew: use DiskView for many.)
    struct Stored {
        std::uint32_t type = 0;
        std::string bytes;
        bool operator==(const Stored&) const = default;
        friend void PrintTo(const Stored& stored, std::ostream* out) {
            *out << "type " << stored.type << ", bytes";
            for (unsigned char byte : stored.bytes) *out << ' ' << std::hex << int(byte) << std::dec;
        }
    };
    std::optional<Stored> storedValue(RegKey root, const std::string& key,
                                      const std::string& name) const;
    bool keyExistsOnDisk(RegKey root, const std::string& key) const;
    // Writes a value as another program would: a store of its own, saved at once.
    void writeFromOutside(RegKey root, const std::string& key, const std::string& name,
                          const std::string& text);

  private:
    QString respond(const Box& box, QDialog* dialog);

    QTemporaryDir m_home;
    std::map<std::string, std::optional<std::string>> m_savedEnvironment;
    std::string m_storeFolder;
    QString m_picture;
    QString m_folder;
    std::map<QString, QString> m_inputAnswers;
    std::map<QString, QString> m_questionAnswers;
    QString m_fileAnswer;
    std::function<void(QDialog*)> m_ownDialog;
    std::unique_ptr<CommandLauncher> m_launcher;
    std::unique_ptr<QtDialogServices> m_dialogs;
    ModalAnswers m_answers;
    std::unique_ptr<WindowProgram> m_program;
};

// The store's files as a store opened afresh on the folder reads them, once for many reads.
class DiskView {
  public:
    explicit DiskView(const std::string& folder);
    ~DiskView();
    std::optional<ProgramRig::Stored> value(RegKey root, const std::string& key,
                                            const std::string& name) const;
    bool keyExists(RegKey root, const std::string& key) const;

  private:
    std::unique_ptr<AnsiCodec> m_codec;
    std::unique_ptr<RegistryApi> m_store;
};

// "" when the hive texts `now` equal `wanted`; otherwise where each differing file first differs,
// with a few lines of each side (a real prefix's hives are megabytes: no full diff).
std::string difference(const std::map<std::string, std::string>& now,
                       const std::map<std::string, std::string>& wanted);

}  // namespace hivora::e2e
