// The missing-program mark: which file a command starts (quoted or not, environment strings
// expanded for REG_EXPAND_SZ, bare names in the Windows folders), looked for through the path
// mapping, and the mark and its path on the list's rows, also in a Wine prefix on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/core/startup_rig.h"

namespace hivora {
namespace {

struct MissingCase {
    const char* name;
    const char* command;
    bool expandable;
    std::optional<std::string> missing;
};

// clang-format off
const MissingCase kMissingCases[] = {
    {"QuotedPresent",         "\"C:\\Program Files\\App\\app.exe\" /min", false, std::nullopt},
    {"QuotedGone",            "\"C:\\Program Files\\App\\gone.exe\" /min", false, "C:\\Program Files\\App\\gone.exe"},
    {"UnquotedWithBlanks",    "C:\\Program Files\\App\\app.exe /min",     false, std::nullopt},
    {"UnquotedGone",          "C:\\Program Files\\Gone\\gone.exe /min -q", false, "C:\\Program Files\\Gone\\gone.exe"},
    {"ExpandedPresent",       "%ProgramFiles%\\App\\app.exe -a",          true,  std::nullopt},
    {"ExpandedGone",          "\"%programfiles%\\App\\x.exe\"",           true,  "C:\\Program Files\\App\\x.exe"},
    {"PlainTextIsNotExpanded", "%ProgramFiles%\\App\\app.exe",            false, "%ProgramFiles%\\App\\app.exe"},
    {"UnknownVariableNoVerdict", "%NoSuchThing%\\x.exe",                  true,  std::nullopt},
    {"BareNameInSystem32",    "ctfmon.exe /n",                            false, std::nullopt},
    {"BareNameInWindowsNoExtension", "notepad",                           false, std::nullopt},
    {"BareNameGone",          "gone.exe -a",                              false, "gone.exe"},
    {"ExtensionAdded",        "C:\\tools\\run",                           false, std::nullopt},
    {"FolderIsNoProgram",     "C:\\tools",                                false, "C:\\tools"},
    {"UserinitComma",         "C:\\windows\\system32\\ctfmon.exe,",       false, std::nullopt},
    {"Empty",                 "  ",                                       false, std::nullopt},
};
// clang-format on

class MissingPrograms : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingPrograms, FirstTokenExpandedAndLookedFor) {
    const MissingCase& c = GetParam();
    testing::FakeFileSystem files;
    files.entries = {{"C:\\Program Files\\App\\app.exe", kFileAttributeArchive},
                     {"C:\\windows\\system32\\ctfmon.exe", kFileAttributeArchive},
                     {"C:\\windows\\notepad.exe", kFileAttributeArchive},
                     {"C:\\tools\\run.exe", kFileAttributeArchive},
                     {"C:\\tools", kFileAttributeDirectory}};
    const auto identity = makeIdentityPathMapping();
    const ProgramLookup lookup{
        &files,
        identity.get(),
        {{"SYSTEMROOT", "C:\\windows"}, {"PROGRAMFILES", "C:\\Program Files"}}, {}};
    EXPECT_EQ(missingProgram(lookup, c.command, c.expandable), c.missing);
}

INSTANTIATE_TEST_SUITE_P(Startup, MissingPrograms, ::testing::ValuesIn(kMissingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupEnvironment, ReadFromTheRegistryBeingEdited) {
    testing::StartupRig rig;
    rig.put(kHkeyLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
            kRegSz, testing::ansiText("D:\\Win"));
    rig.put(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
            kRegSz, testing::ansiText("D:\\Programme"));
    rig.put(kHkeyCurrentUser, "Environment", "TOOLS", kRegExpandSz,
            testing::ansiText("%SystemDrive%\\tools"));
    const StartupEnvironment env = readStartupEnvironment(rig.fixture().layer());
    EXPECT_EQ(expandEnvironmentStrings("%windir%|%ProgramFiles%|%tools%|%nope%|50%", env),
              "D:\\Win|D:\\Programme|D:\\tools|%nope%|50%");
    EXPECT_EQ(rig.fixture().layer().OpenKeyHandleCount(), 0);
    EXPECT_EQ(rig.fixture().store().openHandleCount(), 0u);
}

// A Wine prefix on disk: the rows' programs are looked for through its drive links.
TEST(MissingMark, RowsOfAWinePrefix) {
    testing::StartupRig rig;
    const std::string prefix = rig.fixture().folder() + "/prefix";
    std::filesystem::create_directories(prefix + "/dosdevices");
    std::filesystem::create_directories(prefix + "/drive_c/Windows/System32");
    std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    std::ofstream(prefix + "/drive_c/Windows/System32/here.exe") << "MZ";
    rig.put(kHkeyLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
            kRegSz, testing::ansiText("C:\\windows"));
    const StartupSource& run = startupSources()[0];
    rig.put(run.root, run.keyPath, "Here", kRegExpandSz,
            testing::ansiText("%SystemRoot%\\system32\\HERE.exe /x"));
    rig.put(run.root, run.keyPath, "Gone", kRegSz, testing::ansiText("\"C:\\windows\\gone.exe\""));

    const auto files = makeFileSystem();
    const auto paths = makeWinePathMapping(prefix);
    StartupList& list = rig.list();
    list.setProgramLookup(
        ProgramLookup{files.get(), paths.get(), readStartupEnvironment(rig.fixture().layer()), {}});
    ASSERT_EQ(list.RefreshStartupList(), 2u);
    list.markAllRows();
    const StartupRow& gone = list.rows()[static_cast<std::size_t>(rig.rowOf(0, "Gone"))];
    const StartupRow& here = list.rows()[static_cast<std::size_t>(rig.rowOf(0, "Here"))];
    EXPECT_TRUE(gone.missing);
    EXPECT_EQ(gone.missingPath, "C:\\windows\\gone.exe");
    EXPECT_FALSE(here.missing);
    EXPECT_EQ(here.missingPath, "");
    // Without a lookup nothing is marked.
    list.setProgramLookup(std::nullopt);
    list.RefreshStartupList();
    list.markAllRows();
    for (const StartupRow& row : list.rows()) EXPECT_FALSE(row.missing);
}

}  // namespace
}  // namespace hivora
