// The shared pieces of the rows: press look, outcome messages, the file tests, dispatch of an index
// the page does not have.

#include <gtest/gtest.h>

#include "core/catalogue/file_checks.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

TEST(PressLook, LeftButtonOnlyMovesTheFace) {
    const struct {
        int mouseButton;
        int kind;
        std::optional<int> pressed, released;
    } cases[] = {
        {kLeftMouseButton, kKindChoose, 2, 1},
        {kLeftMouseButton, kKindForbid, 22, 21},
        {kLeftMouseButton, kKindApply, 24, 23},
        {2, kKindSet, std::nullopt, std::nullopt},   // right
        {4, kKindHide, std::nullopt, std::nullopt},  // middle
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "button " << c.mouseButton << " kind " << c.kind);
        EXPECT_EQ(PressImageButton(c.mouseButton, c.kind), c.pressed);
        EXPECT_EQ(ReleaseImageButton(c.mouseButton, c.kind), c.released);
    }
}

TEST(PressLook, PagesUseTheirButtonKinds) {
    EXPECT_EQ(desktopCatalogue().setKind, kKindSet);
    EXPECT_EQ(desktopCatalogue().liftKind, kKindLift);
    EXPECT_EQ(restrictionsCatalogue().setKind, kKindForbid);
    EXPECT_EQ(restrictionsCatalogue().liftKind, kKindLift);
    EXPECT_EQ(hideShowCatalogue().setKind, kKindHide);
    EXPECT_EQ(hideShowCatalogue().liftKind, kKindShow);
}

// Each stores its prompt in ScratchText and shows it in one OK box titled "提示信息".
TEST(OutcomeMessages, OneOkBoxTitledAndKeptInScratchText) {
    const std::pair<void (TweakFramework::*)(), const char*> cases[] = {
        {&TweakFramework::ShowSetDone, "已设置！"},
        {&TweakFramework::ShowUnsetDone, "已解除！"},
        {&TweakFramework::ShowSetError, "设置出错！"},
        {&TweakFramework::ShowResetDone, "已修改为默认！"},
    };
    for (const auto& [show, prompt] : cases) {
        SCOPED_TRACE(prompt);
        ScriptedDialogs dialogs;
        dialogs.expectOkBoxesScripted().answerMessageBox(kIdOk);
        TweakFramework framework(dialogs);
        framework.ScratchText() = "earlier answer";

        (framework.*show)();

        ASSERT_EQ(dialogs.calls().size(), 1u);
        const DialogCall& call = dialogs.calls()[0];
        EXPECT_EQ(call.kind, DialogKind::MessageBox);
        EXPECT_EQ(call.prompt, prompt);
        EXPECT_EQ(call.buttons, kMbOk);
        EXPECT_EQ(call.givenTitle, "提示信息");
        EXPECT_EQ(framework.ScratchText(), prompt);
    }
}

// A file is whatever a search with the attribute mask 39 finds; a folder has the directory flag.
TEST(FileTests, FileAndFolderByAttributes) {
    const struct {
        const char* name;
        std::string path;
        std::optional<std::uint32_t> attributes;  // nothing: no entry
        bool file, folder;
    } cases[] = {
        {"EmptyPath", "", kFileAttributeArchive, false, false},
        {"Missing", "C:\\none.bmp", std::nullopt, false, false},
        {"NormalFile", "C:\\a.bmp", 0x80, true, false},
        {"ReadOnlyFile", "C:\\a.bmp", kFileAttributeReadOnly, true, false},
        {"HiddenFile", "C:\\a.bmp", kFileAttributeHidden | kFileAttributeArchive, true, false},
        {"SystemFile", "C:\\a.bmp", kFileAttributeSystem, true, false},
        {"CompressedFile", "C:\\a.bmp", 0x800 | kFileAttributeArchive, true, false},
        {"VolumeLabel", "C:\\", 0x08, false, false},
        {"HiddenFolder", "C:\\pics", kFileAttributeDirectory | kFileAttributeHidden, false, true},
    };
    for (const auto& c : cases) {
        FakeFileSystem files;
        if (c.attributes) files.entries[c.path] = *c.attributes;
        EXPECT_EQ(FileExists(files, c.path), c.file) << c.name;
        EXPECT_EQ(FolderExists(files, c.path), c.folder) << c.name;
    }
}

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
