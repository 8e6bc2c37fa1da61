#include "app/journal_command.h"

#include <cstdio>
#include <string>

#include "app/registry_choice.h"
#include "app/startup_command.h"
#include "core/journal/journal_session.h"
#include "core/journal/journal_undo.h"
#include "core/registry/reg_info_get_set.h"
#include "core/startup/startup_list.h"

namespace hivora {
namespace {

std::string forConsole(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

// The dialog services of a run without a window: boxes are printed, questions answered No.
class ConsoleDialogs final : public DialogServices {
  public:
    int ShowMessageBox(const std::string& prompt, int buttons, const std::string& title) override {
        const bool question = (buttons & 7) == kMbYesNo || (buttons & 7) == kMbYesNoCancel;
        // Only the success message is output proper; the rest explains a failure.
        const bool done = prompt == kUndoDoneText || prompt == kRedoDoneText;
        std::fprintf(done ? stdout : stderr, "%s\n", forConsole(prompt).c_str());
        if (!question) return kIdOk;
        // The question's title names what is cancelled ("撤销" or "重做").
        std::fprintf(stderr, "没有窗口可以确认，%s已取消，未覆盖上述修改。\n", title.c_str());
        return kIdNo;
    }
    std::string ShowInputBox(const std::string&, const std::string&, const std::string&,
                             bool) override {
        return {};
    }
    std::string ShowOpenFileDialog(const std::string&) override { return {}; }
    std::string ShowSaveFileDialog(const std::string&, const std::string&) override { return {}; }
    std::int32_t ShowColorDialog(std::int32_t initial) override { return initial; }
    Status RunCommand(const std::string&, int) override {
        return Status::error("没有窗口时不能运行命令。");
    }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

}  // namespace

bool isJournalCommand(const Options& options) {
    return options.showHistory || options.undoLatest || options.redoLatest;
}

int runJournalCommand(const Options& options) {
    // --history only reads: the store and the journal are left exactly as they are, and it may
    // run while Wine uses the prefix. The undo and redo write, so the journal is pruned first.
    const bool reading = options.showHistory;
    Result<RegistryChoice> choice =
        chooseRegistry(options, reading ? RegistryUse::Read : RegistryUse::Change);
    if (!choice) return fail(choice.status().message());
    RegistryChoice& registry = choice.value();
    if (!registry.note.empty()) std::fprintf(stderr, "%s\n", registry.note.c_str());
    Result<JournalSession> session = openJournalSession(
        registry.description, reading ? JournalLoading::ReadOnly : JournalLoading::Now);
    if (!session) return fail(session.status().message());
    ChangeJournal& journal = *session.value().journal;

    if (options.showHistory) {
        for (const std::string& line : historyLines(journal, *registry.codec))
            std::printf("%s\n", line.c_str());
        return 0;
    }

    RegInfoGetSet layer(*registry.registry, *registry.codec);
    ConsoleDialogs dialogs;
    UndoServices services{layer, journal, dialogs};
    const UndoOutcome outcome = options.redoLatest ? redoLatest(services) : undoLatest(services);
    if (outcome.result != UndoResult::Done) return 1;
    // A switched shortcut's file follows the undone or redone backup key at once, as in the
    // window, rather than at the next listing.
    const PlatformServices platform = platformServicesFor(options);
    StartupList startup(layer);
    startup.setMachine(startupMachineFor(options, platform));
    startup.setObserver(session.value().recorder.get());
    startup.RefreshStartupList();
    return 0;
}

}  // namespace hivora
