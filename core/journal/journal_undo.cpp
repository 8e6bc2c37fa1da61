#include "core/journal/journal_undo.h"

#include "core/catalogue/tweak_framework.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_settle.h"
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

// How often the question about changes made since is asked again because another program
// changed the registry or the journal while it was on screen.
constexpr int kMaxQuestions = 3;

// What the user agreed to overwrite: the action and the lines the question listed.
struct Agreed {
    std::int64_t actionId = 0;
    std::vector<std::string> lines;
};

// Undoes or redoes the action walkUndoChain names next, recording it as an entry. From choosing
// the action to the save the store is held (RegInfoGetSet::beginAction), so that two programs
// never turn the same entry; only the question is asked without holding it, and what it asked
// about is checked again afterwards.
UndoOutcome turnLatest(UndoServices& services, UndoDirection direction) {
    UndoOutcome outcome;
    DialogServices& dialogs = services.dialogs;
    const Wording& words = wordingOf(direction);
    RegInfoGetSet& layer = services.layer;
    ChangeJournal& journal = services.journal;
    const RegistryView view{layer.api(), layer.codec()};
    const auto giveUp = [&](Status why) {
        (void)layer.endAction();
        outcome = failedWith(outcome, std::move(why));
        showFailure(dialogs, outcome, words);
        return outcome;
    };

    std::optional<Agreed> agreed;
    JournalEntry action;
    std::int64_t reversed = 0;
    for (int asked = 0;; ++asked) {
        if (Status held = layer.beginAction(); !held) return giveUp(held);
        // A journal that cannot be read now is found out by the append below.
        (void)settleNewestEntry(journal, view);
        const std::vector<JournalEntry>& entries = journal.entries();
        const UndoChain chain = walkUndoChain(entries);
        const std::optional<std::size_t> next =
            direction == UndoDirection::Undo ? chain.nextUndo : chain.nextRedo;
        if (!next) {
            (void)layer.endAction();
            (void)dialogs.ShowMessageBox(words.nothing, kMbOk, std::string(kOutcomeTitle));
            return outcome;
        }
        // Appending below may move the journal's entries.
        action = entries[*next];
        reversed = direction == UndoDirection::Undo ? action.id : entries[*chain.redoReverses].id;
        outcome.actionId = action.id;
        Result<std::vector<std::string>> since =
            changesSince(view, action, layer.codec(), direction);
        if (!since) return giveUp(since.status());
        if (since.value().empty() ||
            (agreed && agreed->actionId == action.id && agreed->lines == since.value()))
            break;  // on, still holding the store
        // Nobody waits for the store while the user reads the question.
        (void)layer.endAction();
        if (asked == kMaxQuestions) {
            outcome = failedWith(
                outcome, Status::error("注册表正在被另一个程序修改，" + std::string(words.verb) +
                                       "已取消，请稍后再试。"));
            showFailure(dialogs, outcome, words);
            return outcome;
        }
        std::string prompt = direction == UndoDirection::Undo
                                 ? "以下内容在这次操作之后又被修改过，撤销会覆盖它们："
                                 : "以下内容在撤销这次操作之后又被修改过，重做会覆盖它们：";
        for (const std::string& line : since.value()) prompt += "\r\n" + line;
        prompt += "\r\n\r\n仍要" + std::string(words.verb) + "吗？";
        if (dialogs.ShowMessageBox(prompt, kMbYesNo | kMbIconWarning, words.verb) != kIdYes) {
            outcome.result = UndoResult::Cancelled;
            return outcome;
        }
        agreed = Agreed{action.id, std::move(since).value()};
    }

    JournalEntry turn;
    turn.label = action.label;
    turn.label.caption = std::string(words.verb) + "：" + action.label.caption;
    turn.undoes = reversed;
    turn.items = action.items;
    Status read = readItemStates(view, turn.items, true);
    if (read) {
        writeItemStates(view, action.items, writesBefore(direction), outcome.failures);
        read = readItemStates(view, turn.items, false);
    }
    Status appended = read ? journal.append(turn) : read;
    if (!appended) {
        // Unrecorded, it could not itself be turned back: nothing of it may be saved. A store
        // that saves at the end drops the writes, leaving its files untouched; elsewhere the
        // states read before are written back.
        if (!layer.api().discardChanges() && read) {
            std::vector<std::string> ignored;
            writeItemStates(view, turn.items, true, ignored);
        }
        outcome.failures.clear();
        return giveUp(Status::error("操作记录无法写入，" + std::string(words.verb) + "已取消：" +
                                    appended.message()));
    }
    const Status saved = layer.saveAction();
    if (!saved) {
        // Still holding the store: the record is made to say what of the turn reached the disk
        // (nothing, or the files the message names) before anyone else writes.
        (void)settleEntry(journal, view, turn);
        outcome.failures.clear();
        return giveUp(saved);
    }
    journal.noteSettled(turn.id);
    (void)layer.endAction();
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
