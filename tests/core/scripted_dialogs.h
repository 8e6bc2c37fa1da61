#pragma once
// A scripted stand-in for the dialog services. A test queues the user's answers per kind of
// dialog, in the order they will be asked; every call is recorded (kind, prompt, buttons, the
// title as the user would see it, default text, filter, ...). A call for which no answer was
// queued fails the test and gets the answer of a cancelled box. Answers left unused when the
// double is destroyed fail the test too.
//
// OK-only message boxes (the outcome messages) need no queued answer: they answer OK without
// touching the queue, so a test scripts only the questions. Call expectOkBoxesScripted() to make
// them take queued answers like every other box.
//
// Usage:
//   ScriptedDialogs dialogs;
//   dialogs.answerInputBox("hello").answerMessageBox(kIdYes);
//   ... run the code under test ...
//   EXPECT_EQ(dialogs.callsOf(DialogKind::InputBox)[0].prompt, "...");

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/dialog_services.h"

namespace hivora::testing {

enum class DialogKind { MessageBox, InputBox, OpenFile, Color, RunCommand, BrowseFolder };

inline const char* dialogKindName(DialogKind kind) {
    static const char* const kNames[] = {"ShowMessageBox",  "ShowInputBox", "ShowOpenFileDialog",
                                         "ShowColorDialog", "RunCommand",   "BrowseForFolder"};
    return kNames[static_cast<int>(kind)];
}

struct DialogCall {
    DialogKind kind{};
    std::string prompt;             // message and input boxes; the folder browser's title
    int buttons = 0;                // message boxes
    std::string title;              // as shown: the application title when the caller gave none
    std::string givenTitle;         // as the caller passed it
    std::string defaultText;        // input boxes
    bool masked = false;            // input boxes
    std::string filter;             // open-file dialog
    std::int32_t initialColor = 0;  // colour dialog
    std::string commandLine;        // command launcher
    int windowStyle = 0;            // command launcher
};

class ScriptedDialogs : public DialogServices {
  public:
    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    ~ScriptedDialogs() override {
        if (pendingAnswers() != 0) {
            ADD_FAILURE() << "ScriptedDialogs: " << pendingAnswers()
                          << " scripted answer(s) were never asked for";
        }
    }

    // ---- Script ----
    ScriptedDialogs& answerMessageBox(int result) { return queue(m_messageAnswers, result); }
    ScriptedDialogs& answerInputBox(std::string text) { return queue(m_inputAnswers, text); }
    ScriptedDialogs& answerOpenFile(std::string path) { return queue(m_fileAnswers, path); }
    ScriptedDialogs& answerColor(std::int32_t color) { return queue(m_colorAnswers, color); }
    ScriptedDialogs& answerBrowse(std::string folder) { return queue(m_browseAnswers, folder); }
    // RunCommand succeeds unless a result is queued.
    ScriptedDialogs& answerRunCommand(Status result) { return queue(m_runAnswers, result); }
    ScriptedDialogs& expectOkBoxesScripted() {
        m_okBoxesScripted = true;
        return *this;
    }

    // ---- Record ----
    const std::vector<DialogCall>& calls() const { return m_calls; }
    std::vector<DialogCall> callsOf(DialogKind kind) const {
        std::vector<DialogCall> found;
        for (const DialogCall& call : m_calls) {
            if (call.kind == kind) found.push_back(call);
        }
        return found;
    }
    // The prompts of every message box, in order.
    std::vector<std::string> messagePrompts() const {
        std::vector<std::string> prompts;
        for (const DialogCall& call : callsOf(DialogKind::MessageBox))
            prompts.push_back(call.prompt);
        return prompts;
    }
    void clearCalls() { m_calls.clear(); }
    std::size_t pendingAnswers() const {
        return m_messageAnswers.size() + m_inputAnswers.size() + m_fileAnswers.size() +
               m_colorAnswers.size() + m_browseAnswers.size() + m_runAnswers.size();
    }

    // ---- DialogServices ----
    int ShowMessageBox(const std::string& prompt, int buttons, const std::string& title) override {
        DialogCall& call = record(DialogKind::MessageBox, prompt, title);
        call.buttons = buttons;
        const bool okOnly = (buttons & 7) == kMbOk;
        if (okOnly && !m_okBoxesScripted) return kIdOk;
        return next(m_messageAnswers, okOnly ? kIdOk : kIdCancel, call);
    }

    std::string ShowInputBox(const std::string& prompt, const std::string& title,
                             const std::string& defaultText, bool masked) override {
        DialogCall& call = record(DialogKind::InputBox, prompt, title);
        call.defaultText = defaultText;
        call.masked = masked;
        return next(m_inputAnswers, std::string(), call);
    }

    std::string ShowOpenFileDialog(const std::string& filter) override {
        DialogCall& call = record(DialogKind::OpenFile);
        call.filter = filter;
        return next(m_fileAnswers, std::string(), call);
    }
    // Answered from the same script as the open-file dialog; the suggested name goes to
    // `defaultText`.
    std::string ShowSaveFileDialog(const std::string& filter,
                                   const std::string& suggestedName) override {
        DialogCall& call = record(DialogKind::OpenFile);
        call.filter = filter;
        call.defaultText = suggestedName;
        return next(m_fileAnswers, std::string(), call);
    }

    std::int32_t ShowColorDialog(std::int32_t initialColor) override {
        DialogCall& call = record(DialogKind::Color);
        call.initialColor = initialColor;
        return next(m_colorAnswers, initialColor, call);
    }

    Status RunCommand(const std::string& commandLine, int windowStyle) override {
        DialogCall& call = record(DialogKind::RunCommand);
        call.commandLine = commandLine;
        call.windowStyle = windowStyle;
        if (m_runAnswers.empty()) return Status::ok();
        return next(m_runAnswers, Status::ok(), call);
    }

    std::string BrowseForFolder(const std::string& title) override {
        return next(m_browseAnswers, std::string(), record(DialogKind::BrowseFolder, title, title));
    }

  private:
    // Records a call; the dialogs without a title of their own record none.
    DialogCall& record(DialogKind kind, const std::string& prompt = {},
                       std::optional<std::string> title = std::nullopt) {
        DialogCall call;
        call.kind = kind;
        call.prompt = prompt;
        call.givenTitle = title.value_or("");
        if (title) call.title = dialogTitle(*title);
        return m_calls.emplace_back(std::move(call));
    }

    template <typename T>
    ScriptedDialogs& queue(std::deque<T>& answers, T answer) {
        answers.push_back(std::move(answer));
        return *this;
    }

    template <typename T>
    static T next(std::deque<T>& answers, T cancelled, const DialogCall& call) {
        if (answers.empty()) {
            ADD_FAILURE() << "ScriptedDialogs: unexpected " << dialogKindName(call.kind)
                          << " (no answer scripted), prompt \"" << call.prompt << "\", title \""
                          << call.title << "\"";
            return cancelled;
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    std::deque<int> m_messageAnswers;
    std::deque<std::string> m_inputAnswers;
    std::deque<std::string> m_fileAnswers;
    std::deque<std::int32_t> m_colorAnswers;
    std::deque<std::string> m_browseAnswers;
    std::deque<Status> m_runAnswers;
    bool m_okBoxesScripted = false;
    std::vector<DialogCall> m_calls;
};

}  // namespace hivora::testing
