// The shared pieces of the rows: press look, outcome messages, titles, the file tests, dispatch of
// an index the page does not have.

#include <gtest/gtest.h>

#include <functional>

#include "core/catalogue/file_checks.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

// ---- Press look ----

struct PressCase {
    const char* name;
    int mouseButton;
    int kind;
    std::optional<int> pressed;
    std::optional<int> released;
};

const PressCase kPressCases[] = {
    {"LeftOnChoose", kLeftMouseButton, kKindChoose, 2, 1},
    {"LeftOnSet", kLeftMouseButton, kKindSet, 4, 3},
    {"LeftOnLift", kLeftMouseButton, kKindLift, 12, 11},
    {"LeftOnForbid", kLeftMouseButton, kKindForbid, 22, 21},
    {"LeftOnApply", kLeftMouseButton, kKindApply, 24, 23},
    {"RightChangesNothing", 2, kKindSet, std::nullopt, std::nullopt},
    {"MiddleChangesNothing", 4, kKindHide, std::nullopt, std::nullopt},
};

std::ostream& operator<<(std::ostream& out, const PressCase& c) {
    return out << c.name;
}

class PressLook : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressLook, LeftButtonOnlyMovesTheFace) {
    const PressCase& c = GetParam();
    EXPECT_EQ(PressImageButton(c.mouseButton, c.kind), c.pressed);
    EXPECT_EQ(ReleaseImageButton(c.mouseButton, c.kind), c.released);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, PressLook, ::testing::ValuesIn(kPressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PressLook, PagesUseTheirButtonKinds) {
    EXPECT_EQ(desktopCatalogue().setKind, kKindSet);
    EXPECT_EQ(desktopCatalogue().liftKind, kKindLift);
    EXPECT_EQ(restrictionsCatalogue().setKind, kKindForbid);
    EXPECT_EQ(restrictionsCatalogue().liftKind, kKindLift);
    EXPECT_EQ(hideShowCatalogue().setKind, kKindHide);
    EXPECT_EQ(hideShowCatalogue().liftKind, kKindShow);
}

// ---- Outcome messages ----

struct MessageCase {
    const char* name;
    std::function<void(TweakFramework&)> show;
    const char* prompt;
};

const MessageCase kMessageCases[] = {
    {"SetDone", [](TweakFramework& f) { f.ShowSetDone(); }, "已设置！"},
    {"UnsetDone", [](TweakFramework& f) { f.ShowUnsetDone(); }, "已解除！"},
    {"SetError", [](TweakFramework& f) { f.ShowSetError(); }, "设置出错！"},
    {"ResetDone", [](TweakFramework& f) { f.ShowResetDone(); }, "已修改为默认！"},
};

std::ostream& operator<<(std::ostream& out, const MessageCase& c) {
    return out << c.name;
}

class OutcomeMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(OutcomeMessages, OneOkBoxTitledAndKeptInScratchText) {
    ScriptedDialogs dialogs;
    dialogs.expectOkBoxesScripted().answerMessageBox(kIdOk);
    TweakFramework framework(dialogs);
    framework.ScratchText() = "earlier answer";

    GetParam().show(framework);

    ASSERT_EQ(dialogs.calls().size(), 1u);
    const DialogCall& call = dialogs.calls()[0];
    EXPECT_EQ(call.kind, DialogKind::MessageBox);
    EXPECT_EQ(call.prompt, GetParam().prompt);
    EXPECT_EQ(call.buttons, kMbOk);
    EXPECT_EQ(call.title, "提示信息");
    EXPECT_EQ(framework.ScratchText(), GetParam().prompt);
    EXPECT_FALSE(framework.NeedsRestart());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, OutcomeMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogTitle, MissingTitleIsTheApplicationTitle) {
    EXPECT_EQ(dialogTitle(""), "Quillon");
    EXPECT_EQ(dialogTitle("style"), "style");
}

// ---- File tests ----

struct FileCase {
    const char* name;
    std::string path;
    std::optional<std::uint32_t> attributes;  // nothing: no entry
    bool file;
    bool folder;
};

const FileCase kFileCases[] = {
    {"EmptyPath", "", kFileAttributeArchive, false, false},
    {"Missing", "C:\\none.bmp", std::nullopt, false, false},
    {"NormalFile", "C:\\a.bmp", 0x80, true, false},
    {"ArchiveFile", "C:\\a.bmp", kFileAttributeArchive, true, false},
    {"ReadOnlyFile", "C:\\a.bmp", kFileAttributeReadOnly, true, false},
    {"HiddenFile", "C:\\a.bmp", kFileAttributeHidden | kFileAttributeArchive, true, false},
    {"SystemFile", "C:\\a.bmp", kFileAttributeSystem, true, false},
    {"CompressedFile", "C:\\a.bmp", 0x800 | kFileAttributeArchive, true, false},
    {"Directory", "C:\\pics", kFileAttributeDirectory, false, true},
    {"HiddenDirectory", "C:\\pics", kFileAttributeDirectory | kFileAttributeHidden, false, true},
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) {
    return out << c.name;
}

class FileTests : public ::testing::TestWithParam<FileCase> {};

TEST_P(FileTests, FileAndFolderByAttributes) {
    const FileCase& c = GetParam();
    FakeFileSystem files;
    if (c.attributes) files.add(c.path, *c.attributes);
    EXPECT_EQ(FileExists(files, c.path), c.file);
    EXPECT_EQ(FolderExists(files, c.path), c.folder);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FileTests, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Dispatch ----

TEST(RowDispatch, IndexOutsideThePageDoesNothing) {
    const std::pair<CataloguePage, int> outside[] = {
        {CataloguePage::Desktop, 12},
        {CataloguePage::Desktop, -1},
        {CataloguePage::Restrictions, 13},
        {CataloguePage::HideShow, 12},
    };
    for (const auto& [page, row] : outside) {
        CatalogueHarness harness;
        const RowOutcome outcome = harness.run(page, row, RowButton::Set);
        EXPECT_FALSE(outcome.completed);
        EXPECT_FALSE(outcome.status.isOk());
        EXPECT_TRUE(harness.dialogs().calls().empty());
        EXPECT_TRUE(harness.recorder().changes().empty());
    }
}

}  // namespace
}  // namespace hivora::testing
