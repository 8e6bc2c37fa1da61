// Which journal entries an export takes and the state they leave, and a .reg file applied to a
// store as one action that undo takes back whole.

#include <gtest/gtest.h>

#include "core/export/export_changes.h"
#include "core/export/reg_import.h"
#include "platform/unicode_text.h"
#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

JournalItem valueItem(const std::string& key, const std::string& name, const std::string& after) {
    JournalItem item;
    item.root = kHkeyCurrentUser;
    item.key = key;
    item.name = name;
    item.valueAfter = {true, kRegSz, after};
    return item;
}

JournalItem removedKey(const std::string& key) {
    JournalItem item;
    item.kind = ItemKind::Key;
    item.root = kHkeyCurrentUser;
    item.key = key;
    item.keyBefore.present = true;
    return item;
}

JournalEntry entry(std::int64_t id, std::vector<JournalItem> items,
                   std::optional<std::int64_t> undoes = std::nullopt) {
    JournalEntry e;
    e.id = id;
    e.undoes = undoes;
    e.items = std::move(items);
    return e;
}

// The journal: 1 sets K\A=1, 2 sets K\B, 3 removes K, 4 sets K\A=2, 5 undoes 2, 6 sets K\A=3,
// 7 undoes 6, 8 redoes it.
std::vector<JournalEntry> journal() {
    return {entry(1, {valueItem("K", "A", "1")}),
            entry(2, {valueItem("K", "B", "b")}),
            entry(3, {removedKey("K")}),
            entry(4, {valueItem("K", "A", "2")}),
            entry(5, {valueItem("K", "A", "1")}, 2),
            entry(6, {valueItem("K", "A", "3")}),
            entry(7, {valueItem("K", "A", "2")}, 6),
            entry(8, {valueItem("K", "A", "3")}, 7)};
}

std::vector<std::string> described(const std::vector<JournalItem>& items) {
    std::vector<std::string> out;
    for (const JournalItem& item : items)
        out.push_back(item.key + (item.kind == ItemKind::Key ? "" : "\\" + item.name) + "=" +
                      (item.kind == ItemKind::Key ? (item.keyAfter.present ? "key" : "-")
                                                  : item.valueAfter.data));
    return out;
}

TEST(ExportSelection, TakesActionsNotUndoneAndKeepsTheOrderOfLastChanges) {
    const std::vector<JournalEntry> entries = journal();
    EXPECT_EQ(entriesNotUndone(entries), (std::vector<std::size_t>{0, 2, 3, 5}));
    // The value set before its key was removed comes before the removal; the one set after, after.
    EXPECT_EQ(described(netItems(entries, entriesNotUndone(entries))),
              (std::vector<std::string>{"K=-", "K\\A=3"}));
    Result<std::vector<std::size_t>> range = entriesInIdRange(entries, 1, 2);
    ASSERT_TRUE(range);
    EXPECT_EQ(described(netItems(entries, range.value())),
              (std::vector<std::string>{"K\\A=1", "K\\B=b"}));
    EXPECT_FALSE(entriesInIdRange(entries, 20, 30));
    EXPECT_FALSE(entriesInIdRange(entries, 3, 2));
}

constexpr char kImported[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Imported\\Deep]\r\n"
    "\"Text\"=\"中文\"\r\n"
    "\"Number\"=dword:0000002a\r\n"
    "\"List\"=hex(7):61,00,00,00,00,00\r\n"
    "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\r\n"
    "\"NoDrives\"=-\r\n"
    "\"SomeoneElses\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    "\r\n[-HKEY_USERS\\.DEFAULT\\Control Panel]\r\n";

std::string utf16File(const std::string& utf8) {
    const std::vector<std::uint8_t> bytes = toUtf16Le(utf8ToUtf16(utf8).value());
    return std::string("\xFF\xFE", 2) + std::string(bytes.begin(), bytes.end());
}

TEST(RegImportApplied, IsOneEntryThatUndoTakesBackByteForByte) {
    JournalFixture fixture;
    seedUsersRegistry(fixture.store());
    fixture.reopen();
    const auto before = fixture.hiveFiles();

    Result<std::vector<RegOp>> ops = parseRegFile(utf16File(kImported), "i.reg", test::codec936());
    ASSERT_TRUE(ops) << ops.status().message();
    const Status applied = applyRegOps(fixture.layer(), &fixture.recorder(), ops.value(),
                                       {"import", -1, "reg", "导入"});
    ASSERT_TRUE(applied) << applied.message();
    ASSERT_EQ(fixture.journal().entries().size(), 1u);

    const RegistryView view = fixture.view();
    EXPECT_EQ(readValueState(view, kHkeyCurrentUser, "Software\\Imported\\Deep", "Text").value(),
              (ValueState{true, kRegSz, ansiText("中文")}));
    EXPECT_EQ(readValueState(view, kHkeyCurrentUser, "Software\\Imported\\Deep", "List").value(),
              (ValueState{true, kRegMultiSz, std::string("a\0\0", 3)}));
    EXPECT_FALSE(keyExists(view, kHkeyUsers, ".DEFAULT\\Control Panel").value());
    EXPECT_NE(fixture.hiveFiles(), before);

    const UndoOutcome undone = fixture.undo();
    ASSERT_EQ(undone.result, UndoResult::Done) << undone.status.message();
    EXPECT_EQ(fixture.hiveFiles(), before);
}

TEST(RegImportApplied, AFailedOperationLeavesTheStoreAsItWas) {
    JournalFixture fixture;
    seedUsersRegistry(fixture.store());
    fixture.reopen();
    const auto before = fixture.hiveFiles();
    // The second write is refused by the layer: a text over 32,767 bytes.
    const std::vector<RegOp> ops{
        setString(kHkeyCurrentUser, "Software\\New", "A", "1"),
        setString(kHkeyCurrentUser, "Software\\New", "B", std::string(40000, 'x'))};
    const Status applied = applyRegOps(fixture.layer(), &fixture.recorder(), ops, {});
    EXPECT_FALSE(applied);
    EXPECT_NE(applied.message().find(kNothingChangedLine), std::string::npos) << applied.message();
    EXPECT_EQ(fixture.hiveFiles(), before);
    EXPECT_TRUE(fixture.journal().entries().empty());
}

}  // namespace
}  // namespace hivora::testing
