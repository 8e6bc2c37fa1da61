#pragma once
// A main window on the offscreen platform with everything it talks to replaced: scripted
// dialogs, a fake clock and pointer, and "config.ini" in a temporary folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/tweak_framework.h"
#include "core/config/ini_access.h"
#include "core/registry/reg_info_get_set.h"
#include "core/startup/startup_list.h"
#include "gui/color_value.h"
#include "gui/main_window.h"
#include "gui/startup_frame.h"
#include "platform/ansi_codec.h"
#include "platform/profile_files.h"
#include "platform/tree_registry.h"
#include "tests/core/fake_clock.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora::testing {

struct MainWindowRig {
    MainWindowRig() : codec(std::move(makeAnsiCodec(kDefaultCodePage)).value()) {
        profiles = makeProfileFiles();
        ini = std::make_unique<IniAccess>(*profiles, *codec);
        store = makeMemoryRegistry(*codec);
        layer = std::make_unique<RegInfoGetSet>(*store, *codec);
        configFile = folder.filePath(QStringLiteral("config.ini")).toStdString();
    }

    // Creates the window (not yet loaded) with the startup hooks recording into `log`.
    MainWindow& create(std::optional<std::string> restartCommand = "cmd /c shutdown -r -f -t 0") {
        window = std::make_unique<MainWindow>(
            MainWindowServices{dialogs, framework, clock, pointer, ini.get(), configFile,
                               restartCommand, [this] { log.push_back("flush"); }, layer.get()});
        window->setStartupHooks({[this] { log.push_back("logon"); },
                                 [this] { log.push_back("refresh"); },
                                 [this] { log.push_back("clear"); }});
        return *window;
    }

    // Creates, loads and waits for the first paint and the startup list read after it.
    MainWindow& loaded() {
        create();
        EXPECT_TRUE(window->Form_Load());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_TRUE(QTest::qWaitFor([this] { return !log.empty() && log.back() == "refresh"; }));
        return *window;
    }

    // A value in the current user's Run key of the in-memory registry.
    void seedRun(const std::string& name, const std::string& command) {
        RegKey key = 0;
        ASSERT_EQ(store->RegCreateKeyExA(kHkeyCurrentUser, kRunKeyPath, 0, nullptr, 0,
                                         kKeyAllAccess, &key, nullptr),
                  kErrorSuccess);
        const std::string data = command + '\0';
        ASSERT_EQ(store->RegSetValueExA(key, name.c_str(), 0, kRegSz,
                                        reinterpret_cast<const std::uint8_t*>(data.data()),
                                        static_cast<std::uint32_t>(data.size())),
                  kErrorSuccess);
        (void)store->RegCloseKey(key);
    }

    void writeConfig(const std::string& text) {
        std::ofstream(configFile, std::ios::binary) << text;
    }

    std::string readConfig() const {
        std::ifstream in(configFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    QTemporaryDir folder;
    std::unique_ptr<AnsiCodec> codec;
    std::unique_ptr<ProfileFiles> profiles;
    std::unique_ptr<IniAccess> ini;
    std::unique_ptr<RegistryApi> store;
    std::unique_ptr<RegInfoGetSet> layer;
    std::string configFile;
    ScriptedDialogs dialogs;
    TweakFramework framework{dialogs};
    FakeClock clock;
    FakePointer pointer;
    std::vector<std::string> log;
    std::unique_ptr<MainWindow> window;
};

// The colour a widget's background is painted in, as 0x00BBGGRR.
inline std::int32_t backgroundOf(const QWidget* widget) {
    return colorValueOf(widget->palette().color(QPalette::Window));
}

}  // namespace hivora::testing
