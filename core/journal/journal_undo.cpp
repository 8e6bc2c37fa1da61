#include "core/journal/journal_undo.h"

#include <set>

#include "core/catalogue/tweak_framework.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_text.h"

namespace hivora {
namespace {

std::string describeNow(const JournalItem& now, const AnsiCodec& codec) {
    return now.kind == ItemKind::Value ? describeValue(now.valueBefore, codec)
                                       : describeKey(now.keyBefore);
}

std::string describeAfter(const JournalItem& item, const AnsiCodec& codec) {
    return item.kind == ItemKind::Value ? describeValue(item.valueAfter, codec)
                                        : describeKey(item.keyAfter);
}

void showFailure(DialogServices& dialogs, const UndoOutcome& outcome) {
    std::string prompt(outcomeText(OutcomeMessage::SetError));
    if (outcome.failures.empty()) {
        prompt += "\r\n" + outcome.status.message();
    } else {
        prompt += "\r\n以下内容未能恢复：";
        for (const std::string& line : outcome.failures) prompt += "\r\n" + line;
    }
    (void)dialogs.ShowMessageBox(prompt, kMbOk, std::string(kOutcomeTitle));
}

UndoOutcome failedWith(UndoOutcome outcome, Status status) {
    outcome.result = UndoResult::Failed;
    outcome.status = std::move(status);
    return outcome;
}

}  // namespace

const JournalEntry* latestUndoable(const ChangeJournal& journal) {
    std::set<std::int64_t> undone;
    for (const JournalEntry& e : journal.entries())
        if (e.undoes) undone.insert(*e.undoes);
    const auto& entries = journal.entries();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        if (undone.count(e->id) == 0) return &*e;
    return nullptr;
}

Result<std::vector<std::string>> changesSince(RegistryView view, const JournalEntry& entry,
                                              const AnsiCodec& codec) {
    std::vector<std::string> lines;
    for (const JournalItem& item : entry.items) {
        Result<JournalItem> now = currentStateOf(view, item);
        if (!now) return now.status();
        if (sameState(now.value(), item, false) || sameState(now.value(), item, true)) continue;
        lines.push_back(itemPath(item) + "：现在 " + describeNow(now.value(), codec) + "，操作后 " +
                        describeAfter(item, codec));
    }
    return lines;
}

UndoOutcome undoLatest(UndoServices& services) {
    UndoOutcome outcome;
    DialogServices& dialogs = services.dialogs;
    const JournalEntry* found = latestUndoable(services.journal);
    if (!found) {
        (void)dialogs.ShowMessageBox(kNothingToUndoText, kMbOk, std::string(kOutcomeTitle));
        return outcome;
    }
    const JournalEntry target = *found;  // appending below may move the journal's entries
    outcome.undoneId = target.id;
    RegInfoGetSet& layer = services.layer;
    const RegistryView view{layer.api(), layer.codec()};

    Result<std::vector<std::string>> since = changesSince(view, target, layer.codec());
    if (!since) {
        outcome = failedWith(outcome, since.status());
        showFailure(dialogs, outcome);
        return outcome;
    }
    if (!since.value().empty()) {
        std::string prompt = "以下内容在这次操作之后又被修改过，撤销会覆盖它们：";
        for (const std::string& line : since.value()) prompt += "\r\n" + line;
        prompt += "\r\n\r\n仍要撤销吗？";
        if (dialogs.ShowMessageBox(prompt, kMbYesNo | kMbIconWarning, kUndoQuestionTitle) !=
            kIdYes) {
            outcome.result = UndoResult::Cancelled;
            return outcome;
        }
    }

    JournalEntry undo;
    undo.label = target.label;
    undo.label.caption = "撤销：" + target.label.caption;
    undo.undoes = target.id;
    undo.items = target.items;
    layer.beginAction();
    Status read = readItemStates(view, undo.items, true);
    if (read) {
        writeItemStates(view, target.items, true, outcome.failures);
        read = readItemStates(view, undo.items, false);
    }
    Status appended = read ? services.journal.append(undo) : read;
    if (!appended) {
        // Unrecorded, the undo could not itself be undone: leave the registry as it was.
        std::vector<std::string> ignored;
        if (read) writeItemStates(view, undo.items, true, ignored);
        (void)layer.endAction();
        outcome.failures.clear();
        outcome = failedWith(outcome,
                             Status::error("操作记录无法写入，撤销已取消：" + appended.message()));
        showFailure(dialogs, outcome);
        return outcome;
    }
    const Status saved = layer.endAction();
    if (!saved) {
        (void)services.journal.markVoid(undo.id);
        outcome.failures.clear();
        outcome = failedWith(outcome, saved);
        showFailure(dialogs, outcome);
        return outcome;
    }
    if (!outcome.failures.empty()) {
        outcome = failedWith(outcome, Status::error(outcome.failures.front()));
        showFailure(dialogs, outcome);
        return outcome;
    }
    outcome.result = UndoResult::Done;
    (void)dialogs.ShowMessageBox(kUndoDoneText, kMbOk, std::string(kOutcomeTitle));
    return outcome;
}

}  // namespace hivora
