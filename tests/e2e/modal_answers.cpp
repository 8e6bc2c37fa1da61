#include "tests/e2e/modal_answers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "core/dialog_services.h"

namespace hivora::e2e {
namespace {

int resultOf(const QString& answer) {
    if (answer == QLatin1String("yes")) return kIdYes;
    if (answer == QLatin1String("no")) return kIdNo;
    if (answer == QLatin1String("cancel")) return kIdCancel;
    return kIdOk;
}

void press(QMessageBox* box, const QString& answer) {
    const int wanted = resultOf(answer);
    for (QAbstractButton* button : box->buttons()) {
        if (button->property("result").toInt() == wanted) {
            button->click();
            return;
        }
    }
    if (QAbstractButton* fallback = box->defaultButton()) fallback->click();
}

}  // namespace

ModalAnswers::ModalAnswers(Responder responder) : m_responder(std::move(responder)) {
    qApp->installEventFilter(this);
}

ModalAnswers::~ModalAnswers() {
    qApp->removeEventFilter(this);
}

QString ModalAnswers::lastMessage() const {
    for (auto box = m_boxes.rbegin(); box != m_boxes.rend(); ++box)
        if (box->kind == BoxKind::Message) return box->text;
    return {};
}

bool ModalAnswers::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        // Answered from its own event loop, once it runs; the dialog may be gone by then.
        if (dialog != nullptr && dialog->isModal()) {
            QPointer<QDialog> guarded(dialog);
            QTimer::singleShot(0, this, [this, guarded] {
                if (guarded && guarded->isVisible()) answer(guarded);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void ModalAnswers::answer(QDialog* dialog) {
    Box box;
    if (auto* message = qobject_cast<QMessageBox*>(dialog)) {
        box.kind = BoxKind::Message;
        box.text = message->text();
    } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
        box.kind = BoxKind::Input;
        box.text = input->labelText();
    } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        box.kind = files->fileMode() == QFileDialog::Directory ? BoxKind::Folder : BoxKind::File;
        box.text = files->windowTitle();
    } else if (qobject_cast<QColorDialog*>(dialog) != nullptr) {
        box.kind = BoxKind::Color;
    } else {
        box.text = dialog->objectName();
    }
    box.answer = m_responder(box, dialog);
    m_boxes.push_back(box);

    switch (box.kind) {
        case BoxKind::Message:
            press(static_cast<QMessageBox*>(dialog), box.answer);
            break;
        case BoxKind::Input:
            if (box.answer.isEmpty()) {
                dialog->reject();
            } else {
                static_cast<QInputDialog*>(dialog)->setTextValue(box.answer);
                dialog->accept();
            }
            break;
        case BoxKind::File:
        case BoxKind::Folder: {
            auto* files = static_cast<QFileDialog*>(dialog);
            if (box.answer.isEmpty()) {
                files->reject();
                break;
            }
            files->selectFile(box.answer);
            dialog->accept();  // QFileDialog's own accept(), which checks what was picked
            // The dialog refuses what it cannot find; a script that asks for that is wrong.
            if (files->isVisible()) files->reject();
            break;
        }
        case BoxKind::Color:
            if (box.answer.isEmpty()) {
                dialog->reject();
            } else {
                static_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(box.answer));
                dialog->accept();
            }
            break;
        case BoxKind::Other:
            if (!box.answer.isEmpty()) dialog->reject();
            break;
    }
}

}  // namespace hivora::e2e
