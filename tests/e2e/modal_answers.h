#pragma once
// Answers the program's modal boxes as a user would, through the boxes themselves: it watches
// every dialog the application shows and, once the box's own event loop runs, clicks the button,
// types the text, picks the file or folder or colour the script gives for it. Every box is
// recorded with its text and the answer given. Nothing of the program under test is replaced:
// the Qt dialog services build and run their real boxes.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QDialog;

namespace hivora::e2e {

enum class BoxKind { Message, Input, File, Folder, Color, Other };

struct Box {
    BoxKind kind = BoxKind::Other;
    QString text;    // the message, or the input box's prompt; the object name for Other
    QString answer;  // what was given
};

// The answer to a box: for a message box "yes", "no", "ok" or "cancel" (the button with that
// result, else the default button); for the input box the text (empty: cancel); for the file and
// folder dialogs a path (empty: cancel); for the colour dialog a colour name ("#rrggbb"; empty:
// cancel). For any other dialog the responder may work with the dialog itself and return "" to
// leave it open, anything else to close it.
using Responder = std::function<QString(const Box&, QDialog*)>;

class ModalAnswers : public QObject {
  public:
    // Watches the whole application from now until destroyed.
    explicit ModalAnswers(Responder responder);
    ~ModalAnswers() override;

    const std::vector<Box>& boxes() const { return m_boxes; }
    void clear() { m_boxes.clear(); }
    // The text of the last message box, or "" when none was shown.
    QString lastMessage() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void answer(QDialog* dialog);

    Responder m_responder;
    std::vector<Box> m_boxes;
};

}  // namespace hivora::e2e
