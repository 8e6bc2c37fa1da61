#pragma once
// What the page tests share: a registry store in a temporary folder behind the real access layer,
// the scripted dialog double (noting, at every message box, whether a watched button was back at
// rest), a fake file system and a counting desktop refresher; one built page on the offscreen
// screen with its live-state marks, as the program shows it; clicks with real mouse events.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/catalogue/row_dispatch.h"
#include "core/journal/registry_state.h"
#include "core/registry/reg_info_get_set.h"
#include "gui/image_button.h"
#include "gui/live_state_controller.h"
#include "gui/pages/page_builder.h"
#include "gui/pages/page_live_state.h"
#include "gui/qt_timer_service.h"
#include "gui/skin_faces.h"
#include "platform/ansi_codec.h"
#include "platform/posix/file_store.h"
#include "tests/core/catalogue_harness.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora::testing {

// The faces a button shows: the browse buttons of the folder rows have their own pair.
inline QImage faceOf(const ImageButton* button, bool pressed) {
    const int number = pressed ? pressedFace(button->kind()) : releasedFace(button->kind());
    return (button->objectName().startsWith(QLatin1String("Picture_SysDir(")) ? sysDirFace(number)
                                                                              : buttonFace(number))
        .toImage();
}

// The scripted double, noting for each message box whether the watched button showed its
// released face and was not held.
class WatchingDialogs : public ScriptedDialogs {
  public:
    int ShowMessageBox(const std::string& prompt, int buttons, const std::string& title) override {
        if (watched != nullptr) {
            const QImage shown = watched->pixmap().toImage();
            restingAtBox.push_back(!watched->isPressed() && shown == faceOf(watched, false));
        }
        return ScriptedDialogs::ShowMessageBox(prompt, buttons, title);
    }
    ImageButton* watched = nullptr;
    std::vector<bool> restingAtBox;
};

struct CountingRefresher : DesktopRefresher {
    void refreshDesktop() override { ++count; }
    int count = 0;
};

// A stored value: its type and bytes.
struct StoredValue {
    std::uint32_t type = 0;
    std::string bytes;
    bool operator==(const StoredValue&) const = default;
};

inline StoredValue sz(const std::string& text) {
    return {kRegSz, text};
}
inline StoredValue expandSz(const std::string& text) {
    return {kRegExpandSz, text};
}
inline StoredValue dword(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return {kRegDword, bytes};
}
inline StoredValue binary(const std::string& bytes) {
    return {kRegBinary, bytes};
}

class PageRig {
  public:
    explicit PageRig(int pageIndex)
        : m_codec(makeAnsiCodec(kDefaultCodePage).value()),
          m_store(openFileStore(m_folder.path().toStdString(), *m_codec).value()),
          m_layer(*m_store, *m_codec),
          m_framework(m_dialogs),
          m_services{m_layer, m_framework, m_files, m_refresher},
          m_pageServices{m_services},
          m_live(m_layer, QtTimerService::shared()),
          m_page(std::make_unique<QWidget>()) {
        m_files.entries = {{kExistingPicture, kFileAttributeArchive},
                           {kExistingFolder, kFileAttributeDirectory}};
        m_page->setObjectName(QStringLiteral("Picture_Main(%1)").arg(pageIndex));
        m_page->resize(designedPageSize());
        buildPage(pageIndex, m_page.get(), m_pageServices);
        attachLiveState(pageIndex, m_page.get(), m_live);
        m_page->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_page.get()));
    }

    QWidget* page() { return m_page.get(); }
    WatchingDialogs& dialogs() { return m_dialogs; }
    TweakFramework& framework() { return m_framework; }
    int refreshes() const { return m_refresher.count; }
    FakeFileSystem& files() { return m_files; }
    LiveStateController& live() { return m_live; }
    // The folder of the store's registry files.
    QString storeFolder() const { return m_folder.path(); }

    template <typename T = QWidget>
    T* find(const QString& name) {
        return m_page->findChild<T*>(name);
    }

    // Presses the left button on the button, checks the pressed face, and releases it there.
    void click(const QString& name) {
        auto* button = find<ImageButton>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        m_dialogs.watched = button;
        const QPoint centre = button->rect().center();
        QTest::mousePress(button, Qt::LeftButton, {}, centre);
        EXPECT_TRUE(button->isPressed());
        EXPECT_EQ(button->pixmap().toImage(), faceOf(button, true));
        QTest::mouseRelease(button, Qt::LeftButton, {}, centre);
        EXPECT_FALSE(button->isPressed());
    }

    // The value as the store's files hold it now (read through a fresh store on the folder).
    std::optional<StoredValue> stored(RegKey root, const std::string& key,
                                      const std::string& name) {
        auto store = openFileStore(m_folder.path().toStdString(), *m_codec).value();
        const Result<ValueState> state = readValueState({*store, *m_codec}, root, key, name);
        if (!state || !state.value().present) return std::nullopt;
        StoredValue value{state.value().type, state.value().data};
        // Texts come back in the code page with their terminating NUL; compare them as UTF-8
        // without it.
        if (value.type == kRegSz || value.type == kRegExpandSz) {
            if (!value.bytes.empty() && value.bytes.back() == '\0') value.bytes.pop_back();
            value.bytes = m_codec->fromAnsi(value.bytes).value();
        }
        return value;
    }

  private:
    QTemporaryDir m_folder;
    std::unique_ptr<AnsiCodec> m_codec;
    std::unique_ptr<TreeRegistry> m_store;
    RegInfoGetSet m_layer;
    WatchingDialogs m_dialogs;
    TweakFramework m_framework;
    FakeFileSystem m_files;
    CountingRefresher m_refresher;
    CatalogueServices m_services;
    PageServices m_pageServices;
    LiveStateController m_live;
    std::unique_ptr<QWidget> m_page;
};

}  // namespace hivora::testing
