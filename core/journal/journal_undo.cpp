#include "core/journal/journal_undo.h"

#include "core/catalogue/tweak_framework.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"

namespace hivora {
namespace {

// The words that differ between an undo and a redo.
struct Wording {
    const char* verb;  // also the caption's prefix and the question's title
    const char* done;
    const char* nothing;
    const char* since;  // the state the action was left in, as the lines about changes name it
    const char* notRestored;
};

constexpr Wording kUndoWording{kUndoQuestionTitle, kUndoDoneText, kNothingToUndoText, "操作后",
                               "以下内容未能恢复："};
constexpr Wording kRedoWording{kRedoQuestionTitle, kRedoDoneText, kNothingToRedoText, "撤销后",
                               "以下内容未能重做："};

const Wording& wordingOf(UndoDirection direction) {
    return direction == UndoDirection::Undo ? kUndoWording : kRedoWording;
}

// Whether `direction` writes the items' states before (and so expects them at their states after).
bool writesBefore(UndoDirection direction) {
    return direction == UndoDirection::Undo;
}

std::string describeState(const JournalItem& item, bool before, const AnsiCodec& codec) {
    if (item.kind == ItemKind::Key) return describeKey(before ? item.keyBefore : item.keyAfter);
    return describeItemValue(item, before ? item.valueBefore : item.valueAfter, codec);
}

void showFailure(DialogServices& dialogs, const UndoOutcome& outcome, const Wording& words) {
    std::string prompt(outcomeText(OutcomeMessage::SetError));
    if (outcome.failures.empty()) {
        prompt += "\r\n" + outcome.status.message();
    } else {
        prompt += "\r\n";
        prompt += words.notRestored;
        for (const std::string& line : outcome.failures) prompt += "\r\n" + line;
    }
    (void)dialogs.ShowMessageBox(prompt, kMbOk, std::string(kOutcomeTitle));
}

UndoOutcome failedWith(UndoOutcome outcome, Status status) {
    outcome.result = UndoResult::Failed;
    outcome.status = std::move(status);
    return outcome;
}

// Undoes or redoes the action walkUndoChain names next, recording it as an entry.
UndoOutcome turnLatest(UndoServices& services, UndoDirection direction) {
    UndoOutcome outcome;
    DialogServices& dialogs = services.dialogs;
    const Wording& words = wordingOf(direction);
    const std::vector<JournalEntry>& entries = services.journal.entries();
    const UndoChain chain = walkUndoChain(entries);
    const std::optional<std::size_t> next =
        direction == UndoDirection::Undo ? chain.nextUndo : chain.nextRedo;
    if (!next) {
        (void)dialogs.ShowMessageBox(words.nothing, kMbOk, std::string(kOutcomeTitle));
        return outcome;
    }
    // Appending below may move the journal's entries.
    const JournalEntry action = entries[*next];
    const std::int64_t reversed =
        direction == UndoDirection::Undo ? action.id : entries[*chain.redoReverses].id;
    outcome.actionId = action.id;
    RegInfoGetSet& layer = services.layer;
    const RegistryView view{layer.api(), layer.codec()};

    Result<std::vector<std::string>> since = changesSince(view, action, layer.codec(), direction);
    if (!since) {
        outcome = failedWith(outcome, since.status());
        showFailure(dialogs, outcome, words);
        return outcome;
    }
    if (!since.value().empty()) {
        std::string prompt = direction == UndoDirection::Undo
                                 ? "以下内容在这次操作之后又被修改过，撤销会覆盖它们："
                                 : "以下内容在撤销这次操作之后又被修改过，重做会覆盖它们：";
        for (const std::string& line : since.value()) prompt += "\r\n" + line;
        prompt += "\r\n\r\n仍要" + std::string(words.verb) + "吗？";
        if (dialogs.ShowMessageBox(prompt, kMbYesNo | kMbIconWarning, words.verb) != kIdYes) {
            outcome.result = UndoResult::Cancelled;
            return outcome;
        }
    }

    JournalEntry turn;
    turn.label = action.label;
    turn.label.caption = std::string(words.verb) + "：" + action.label.caption;
    turn.undoes = reversed;
    turn.items = action.items;
    layer.beginAction();
    Status read = readItemStates(view, turn.items, true);
    if (read) {
        writeItemStates(view, action.items, writesBefore(direction), outcome.failures);
        read = readItemStates(view, turn.items, false);
    }
    Status appended = read ? services.journal.append(turn) : read;
    if (!appended) {
        // Unrecorded, it could not itself be turned back: leave the registry as it was.
        std::vector<std::string> ignored;
        if (read) writeItemStates(view, turn.items, true, ignored);
        (void)layer.endAction();
        outcome.failures.clear();
        outcome = failedWith(outcome, Status::error("操作记录无法写入，" + std::string(words.verb) +
                                                    "已取消：" + appended.message()));
        showFailure(dialogs, outcome, words);
        return outcome;
    }
    const Status saved = layer.endAction();
    if (!saved) {
        (void)services.journal.markVoid(turn.id);
        outcome.failures.clear();
        outcome = failedWith(outcome, saved);
        showFailure(dialogs, outcome, words);
        return outcome;
    }
    if (!outcome.failures.empty()) {
        outcome = failedWith(outcome, Status::error(outcome.failures.front()));
        showFailure(dialogs, outcome, words);
        return outcome;
    }
    outcome.result = UndoResult::Done;
    (void)dialogs.ShowMessageBox(words.done, kMbOk, std::string(kOutcomeTitle));
    return outcome;
}

}  // namespace

Result<std::vector<std::string>> changesSince(RegistryView view, const JournalEntry& entry,
                                              const AnsiCodec& codec, UndoDirection direction) {
    const bool expectedBefore = !writesBefore(direction);
    std::vector<std::string> lines;
    for (const JournalItem& item : entry.items) {
        Result<JournalItem> now = currentStateOf(view, item);
        if (!now) return now.status();
        if (sameState(now.value(), item, false) || sameState(now.value(), item, true)) continue;
        lines.push_back(itemPath(item) + "：现在 " + describeState(now.value(), true, codec) +
                        "，" + wordingOf(direction).since + " " +
                        describeState(item, expectedBefore, codec));
    }
    return lines;
}

UndoOutcome undoLatest(UndoServices& services) {
    return turnLatest(services, UndoDirection::Undo);
}

UndoOutcome redoLatest(UndoServices& services) {
    return turnLatest(services, UndoDirection::Redo);
}

}  // namespace hivora
