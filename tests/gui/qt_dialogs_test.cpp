// The Qt dialog services on screen: each box is driven by a timer callback that inspects the open
// modal box and answers it as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/qt_dialog_services.h"

namespace hivora {
namespace {

struct NoLauncher : CommandLauncher {
    Status runCommand(const std::string&, int) override { return Status::ok(); }
};

// Runs `answer` on the modal box once it is up.
template <typename Box>
void whenShown(std::function<void(Box*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(box);
    });
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList texts;
    // Qt may reorder buttons on screen by platform; the order of creation is what we set.
    for (QAbstractButton* button : box->buttons()) texts << button->text();
    texts.sort();
    return texts;
}

struct BoxCase {
    int code;
    const char* title;
    QStringList texts;  // sorted
    QMessageBox::Icon icon;
    int press;  // index into the sorted texts, or -1: close with Escape
    int expected;
};

TEST(QtDialogs, MessageBoxButtonsIconsTitleAndResults) {
    NoLauncher launcher;
    QtDialogServices services(nullptr, launcher);
    const QStringList ok{QStringLiteral("确定")};
    QStringList yesNo{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")};
    yesNo.sort();
    QStringList yesNoCancel = yesNo + QStringList{QStringLiteral("取消")};
    yesNoCancel.sort();
    const auto at = [](const QStringList& texts, const char* text) {
        return static_cast<int>(texts.indexOf(QString::fromUtf8(text)));
    };
    const BoxCase cases[] = {
        {0, "提示信息", ok, QMessageBox::NoIcon, 0, kIdOk},
        {0 + 64, "", ok, QMessageBox::Information, -1, kIdOk},
        {4 + 32, "", yesNo, QMessageBox::Question, at(yesNo, "是(&Y)"), kIdYes},
        {4 + 48, "t", yesNo, QMessageBox::Warning, -1, kIdNo},
        {3 + 16, "t", yesNoCancel, QMessageBox::Critical, at(yesNoCancel, "取消"), kIdCancel},
        {3, "t", yesNoCancel, QMessageBox::NoIcon, at(yesNoCancel, "否(&N)"), kIdNo},
    };
    for (const BoxCase& c : cases) {
        whenShown<QMessageBox>([&c](QMessageBox* box) {
            EXPECT_EQ(buttonTexts(box), c.texts) << c.code;
            EXPECT_EQ(box->icon(), c.icon) << c.code;
            const QString title = QString::fromUtf8(c.title);
            EXPECT_EQ(box->windowTitle(), title.isEmpty() ? QStringLiteral("Quillon") : title);
            EXPECT_EQ(box->text(), QStringLiteral("第一行\n第二行"));
            // The first button is the default: Yes, or OK alone.
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->text(),
                      c.texts.size() == 1 ? QStringLiteral("确定") : QStringLiteral("是(&Y)"));
            if (c.press < 0) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == c.texts[c.press]) b->click();
            }
        });
        EXPECT_EQ(services.ShowMessageBox("第一行\r\n第二行", c.code, c.title), c.expected)
            << c.code;
    }
}

TEST(QtDialogs, InputBoxTextMaskAndCancel) {
    NoLauncher launcher;
    QtDialogServices services(nullptr, launcher);
    whenShown<QInputDialog>([](QInputDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quillon"));
        EXPECT_EQ(dialog->labelText(), QStringLiteral("请输入：\n下一行"));
        EXPECT_EQ(dialog->textValue(), QStringLiteral("默认"));
        EXPECT_EQ(dialog->textEchoMode(), QLineEdit::Normal);
        EXPECT_EQ(dialog->okButtonText(), QStringLiteral("确定"));
        dialog->setTextValue(QStringLiteral("答案"));
        dialog->accept();
    });
    EXPECT_EQ(services.ShowInputBox("请输入：\r\n下一行", "", "默认"), "答案");

    whenShown<QInputDialog>([](QInputDialog* dialog) {
        EXPECT_EQ(dialog->textEchoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("自动登录系统"));
        dialog->setTextValue(QStringLiteral("secret"));
        dialog->reject();
    });
    EXPECT_EQ(services.ShowInputBox("请输入密码：", "自动登录系统", "", true), "");
}

TEST(QtDialogs, FileDialogFiltersAndStartFolderFolderBrowserTitleColourCancel) {
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("drive_c/pics")));
    NoLauncher launcher;
    QtDialogServices services(nullptr, launcher);
    EXPECT_EQ(dialogStartFolder(prefix.path().toStdString() + "/none"), "");
    services.setStartFolder(dialogStartFolder(prefix.path().toStdString()));
    const QString driveC = QDir(prefix.path()).filePath(QStringLiteral("drive_c"));
    EXPECT_EQ(QString::fromStdString(services.startFolder()), driveC);

    whenShown<QFileDialog>([&driveC](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{QStringLiteral("图片 (*.bmp *.jpg)"),
                               QStringLiteral("所有文件(ALL FILES) (*.*)")}));
        EXPECT_EQ(dialog->directory().absolutePath(), driveC);
        dialog->reject();
    });
    EXPECT_EQ(services.ShowOpenFileDialog("图片|*.bmp;*.jpg|所有文件(ALL FILES)|*.*"), "");

    whenShown<QFileDialog>([&driveC](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("请选择文件夹："));
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        dialog->selectFile(QDir(driveC).filePath(QStringLiteral("pics")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(QString::fromStdString(services.BrowseForFolder("")),
              QDir(driveC).filePath(QStringLiteral("pics")));

    whenShown<QColorDialog>([](QColorDialog* dialog) {
        EXPECT_EQ(dialog->currentColor(), QColor(58, 110, 165));
        dialog->setCurrentColor(Qt::red);
        dialog->reject();
    });
    EXPECT_EQ(services.ShowColorDialog(10841658), 10841658);
    whenShown<QColorDialog>([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    EXPECT_EQ(services.ShowColorDialog(10841658), 0x030201);
}

}  // namespace
}  // namespace hivora
