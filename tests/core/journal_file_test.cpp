// The journal's file: entries survive the trip through JSON, a torn or garbled line is skipped and
// never spoils the lines after it, and pruning keeps the newest year and 10,000 entries and every
// line it does not understand; then what the user reads of it.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "core/journal/change_journal.h"
#include "core/journal/journal_text.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

JournalEntry sampleEntry() {
    JournalEntry e;
    e.id = 1;  // ids start at 1; append gives the real one
    e.label = {"hideShow", 0, "set", "隐藏\"回收站\""};
    KeyState removed{
        true, "{645FF040}", "REG_SZ", {{"", kRegSz, std::string("\xbb\xd8\0", 3)}}, {}};
    removed.subKeys.push_back(
        KeyState{true, "Shell", "", {{"Bin", kRegBinary, std::string("\0\xff\n", 3)}}, {}});
    e.items.push_back({ItemKind::Key,
                       kHkeyLocalMachine,
                       "Software\\NameSpace\\{645FF040}",
                       {},
                       {},
                       {},
                       removed,
                       KeyState{}});
    e.items.push_back({ItemKind::Value,
                       kHkeyCurrentUser,
                       "Software\\Policies",
                       "NoRun",
                       ValueState{},
                       ValueState{true, kRegDword, std::string("\x01\0\0\0", 4)},
                       {},
                       {}});
    return e;
}

// An entry whose one item removed a key with `depth` levels of sub-keys below it.
std::string deeplyNestedKeyLine(int depth) {
    std::string key = R"({"class":"","values":[],"keys":[]})";
    for (int level = 0; level < depth; ++level)
        key = R"({"class":"","values":[],"keys":[)" + key.insert(1, R"("name":"k",)") + "]}";
    return R"({"id":1,"time":0,"store":"","label":{"page":"","row":0,"button":"","caption":""},)"
           R"("items":[{"kind":"key","root":"HKEY_USERS","key":"","before":)" +
           key + R"(,"after":null}]})";
}

// The line of entry `id` in the journal text.
std::string entryLine(MemoryJournalFiles& files, std::int64_t id) {
    const std::string& text = files.file("/j");
    const std::size_t at = text.find("{\"id\":" + std::to_string(id) + ",");
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

TEST(JournalEntry, SurvivesTheTripThroughJson) {
    JournalEntry e = sampleEntry();
    e.id = 7;
    e.time = 1'700'000'000;
    e.store = "/tmp/store";
    e.undoes = 3;
    const std::string line = entryToJson(e);
    EXPECT_EQ(line.find('\n'), std::string::npos);

    const JournalLine parsed = parseJournalLine(line);
    ASSERT_EQ(parsed.kind, JournalLine::Kind::Entry);
    const JournalEntry& back = parsed.entry;
    EXPECT_EQ(entryToJson(back), line);
    EXPECT_EQ(back.undoes, 3);
    EXPECT_TRUE(back.items[0].keyBefore.sameContent(e.items[0].keyBefore));
    EXPECT_EQ(back.items[1].valueAfter, e.items[1].valueAfter);
}

// Every shape the writer produces reads back as it was written.
TEST(JournalEntry, EntriesOfEveryShapeReadBackAsWritten) {
    const auto valueItem = [](ValueState before, ValueState after) {
        return JournalItem{
            ItemKind::Value, kHkeyUsers, "S-1\\Software", "名称\"1\"", before, after, {}, {}};
    };
    const auto keyItem = [](KeyState before, KeyState after) {
        return JournalItem{ItemKind::Key, kHkeyClassesRoot, "CLSID\\{x}", "", {}, {}, before,
                           after};
    };
    KeyState deep{true, "", "cls", {{"", kRegSz, std::string("a\0", 2)}}, {}};
    KeyState child{true, "Child", "", {{"v", kRegDword, std::string("\0\0\0\x80", 4)}}, {}};
    child.subKeys.push_back(KeyState{true, "Grandchild", "", {}, {}});
    deep.subKeys.push_back(child);
    deep.subKeys.push_back(KeyState{true, "Empty", "", {}, {}});
    struct Case {
        const char* name;
        std::vector<JournalItem> items;
        std::optional<std::int64_t> undoes;
        std::string caption;
    };
    const Case cases[] = {
        {"value made", {valueItem({}, {true, kRegSz, std::string("\xff\0\x01", 3)})}, {}, "设置"},
        {"value removed, an undo",
         {valueItem({true, kRegBinary, ""}, {})},
         41,
         "撤销：\t\"引号\" \\ \x01"},
        {"key made whole", {keyItem({}, deep)}, {}, ""},
        {"key removed", {keyItem(KeyState{true, "", "", {}, {}}, {})}, {}, "x"},
        {"no items", {}, kMaxJournalId, "空"},
        {"both kinds", {keyItem(deep, {}), valueItem({}, {})}, {}, "两项"},
    };
    for (const Case& c : cases) {
        JournalEntry e;
        e.id = 9;
        e.time = -5;
        e.store = "/store/路径";
        e.label = {"page", -1, "lift", c.caption};
        e.items = c.items;
        e.undoes = c.undoes;
        const std::string line = entryToJson(e);
        const JournalLine parsed = parseJournalLine(line);
        ASSERT_EQ(parsed.kind, JournalLine::Kind::Entry) << c.name;
        EXPECT_EQ(entryToJson(parsed.entry), line) << c.name;
    }
}

TEST(JournalEntry, LinesThatAreNoEntryAreGarbled) {
    const std::string good = entryToJson(sampleEntry());
    const std::string cases[] = {
        good.substr(0, good.size() / 2),  // torn by a crash
        "",
        "not json at all",
        "[1,2,3]",
        R"({"id":"1","time":0,"store":"","label":{},"items":[]})",
        R"({"id":1,"time":0,"store":"","label":{"page":"","row":0,"button":"","caption":""},)"
        R"("items":[{"kind":"value","root":"HKEY_NOWHERE","key":"","name":"","before":null,"after":null}]})",
        R"({"id":1,"time":0,"store":"","label":{"page":"","row":0,"button":"","caption":""},)"
        R"("items":[{"kind":"value","root":"HKEY_USERS","key":"","name":"","before":{"type":1,"data":"zz"},"after":null}]})",
        std::string("{\"id\":1,\xff\xfe}"),
        // A value's state shaped as a key, a sub-key without its name, an undo of no entry, a
        // void mark of no entry, a key nested deeper than any registry.
        R"({"id":1,"time":0,"store":"","label":{"page":"","row":0,"button":"","caption":""},)"
        R"("items":[{"kind":"value","root":"HKEY_USERS","key":"","name":"",)"
        R"("before":{"class":"","values":[],"keys":[]},"after":null}]})",
        R"({"id":1,"time":0,"store":"","label":{"page":"","row":0,"button":"","caption":""},)"
        R"("items":[{"kind":"key","root":"HKEY_USERS","key":"","before":null,)"
        R"("after":{"class":"","values":[],"keys":[{"class":"","values":[],"keys":[]}]}}]})",
        R"({"id":1,"time":0,"store":"","undoes":"1",)"
        R"("label":{"page":"","row":0,"button":"","caption":""},"items":[]})",
        R"({"void":"7"})",
        deeplyNestedKeyLine(513),
    };
    for (const std::string& line : cases)
        EXPECT_EQ(parseJournalLine(line).kind, JournalLine::Kind::Garbled) << line.substr(0, 200);
    EXPECT_EQ(parseJournalLine(deeplyNestedKeyLine(512)).kind, JournalLine::Kind::Entry);
}

// Members a later version might add are passed over, whatever they hold.
TEST(JournalEntry, UnknownMembersArePassedOver) {
    std::string line = entryToJson(sampleEntry());
    line.insert(1, R"("note":{"a":[1,{"b":null}],"c":"x"},"tags":[[1],[2]],)");
    const JournalLine parsed = parseJournalLine(line);
    ASSERT_EQ(parsed.kind, JournalLine::Kind::Entry);
    EXPECT_EQ(entryToJson(parsed.entry), entryToJson(sampleEntry()));
    const JournalLine mark = parseJournalLine(R"({"at":[{}],"void":7})");
    ASSERT_EQ(mark.kind, JournalLine::Kind::Void);
    EXPECT_EQ(mark.voided, 7);
}

TEST(ChangeJournal, SkipsTornAndGarbledLinesAndAppendsOnAFreshLine) {
    MemoryJournalFiles files;
    ChangeJournal writer(files, "/j", "store", [] { return 100; });
    JournalEntry first = sampleEntry(), second = sampleEntry();
    ASSERT_TRUE(writer.append(first));
    files.file("/j") += "garbage in the middle\n";
    ASSERT_TRUE(writer.append(second));
    // A crash in the middle of the next append.
    const std::string torn = entryToJson(sampleEntry());
    files.file("/j") += torn.substr(0, torn.size() - 5);

    ChangeJournal reader(files, "/j", "store", [] { return 100; });
    ASSERT_TRUE(reader.load());
    EXPECT_EQ(reader.entries().size(), 2u);
    EXPECT_EQ(reader.garbledLines(), 2);
    JournalEntry third = sampleEntry();
    ASSERT_TRUE(reader.append(third));
    EXPECT_EQ(third.id, 3);

    ChangeJournal again(files, "/j", "store", [] { return 100; });
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.entries().size(), 3u);
    EXPECT_EQ(again.garbledLines(), 2);
}

TEST(ChangeJournal, VoidMarkRemovesAnEntryWhoseSaveFailed) {
    MemoryJournalFiles files;
    ChangeJournal journal(files, "/j", "s");
    JournalEntry e = sampleEntry();
    ASSERT_TRUE(journal.append(e));
    ASSERT_TRUE(journal.markVoid(e.id));
    ChangeJournal reader(files, "/j", "s");
    ASSERT_TRUE(reader.load());
    EXPECT_TRUE(reader.entries().empty());
}

// A journal large enough to be parsed in slices on several threads reads exactly as its lines
// do one after another: order kept, garbled lines and void marks counted wherever they fall.
TEST(ChangeJournal, ALargeJournalReadsAsItsLinesInOrder) {
    MemoryJournalFiles files;
    std::string& text = files.file("/j");
    JournalEntry e = sampleEntry();
    constexpr int kEntries = 1500;
    int garbled = 0;
    for (int id = 1; id <= kEntries; ++id) {
        e.id = id;
        text += entryToJson(e) + "\n";
        if (id % 97 == 0) {
            text += "{\"torn\":\n";
            ++garbled;
        }
        if (id % 250 == 0) text += voidMarkToJson(id) + "\n";
    }
    ASSERT_GT(text.size(), 512u * 1024) << "the journal must be large enough to be sliced";

    ChangeJournal journal(files, "/j", "s");
    ASSERT_TRUE(journal.load());
    EXPECT_EQ(journal.garbledLines(), garbled);
    std::vector<std::int64_t> expected;
    for (int id = 1; id <= kEntries; ++id)
        if (id % 250 != 0) expected.push_back(id);
    std::vector<std::int64_t> ids;
    for (const JournalEntry& entry : journal.entries()) ids.push_back(entry.id);
    EXPECT_EQ(ids, expected);
    JournalEntry next = sampleEntry();
    ASSERT_TRUE(journal.append(next));
    EXPECT_EQ(next.id, kEntries + 1);
}

// Read on another thread: whatever is asked of the journal first waits for the read (and the
// prune after it), so nothing sees it half read; a file that cannot be read is reported then.
struct BackgroundCase {
    const char* name;
    bool readFails;
    std::size_t entriesSeen;
    std::int64_t nextId;  // of an entry appended after the read
};

class BackgroundLoading : public ::testing::TestWithParam<BackgroundCase> {};

TEST_P(BackgroundLoading, EverythingWaitsForTheRead) {
    const BackgroundCase& c = GetParam();
    constexpr std::int64_t kNow = 400LL * 24 * 60 * 60;
    MemoryJournalFiles files;
    JournalEntry e = sampleEntry();
    for (std::int64_t id = 1; id <= 3; ++id) {
        e.id = id;
        e.time = id == 1 ? 0 : kNow;  // the first is over a year old
        files.file("/j") += entryToJson(e) + "\n";
    }
    if (c.readFails) {
        files.setFault([](std::string_view step, const std::string&) {
            return step == "read" ? Status::error("denied") : Status::ok();
        });
    }
    ChangeJournal journal(files, "/j", "s", [] { return kNow; });
    journal.startLoading();
    EXPECT_EQ(journal.entries().size(), c.entriesSeen);
    EXPECT_EQ(journal.finishLoading().isOk(), !c.readFails);
    if (c.readFails) return;
    EXPECT_EQ(files.file("/j").find("\"id\":1,"), std::string::npos) << "pruned on disk too";
    JournalEntry next = sampleEntry();
    ASSERT_TRUE(journal.append(next));
    EXPECT_EQ(next.id, c.nextId);
}

const BackgroundCase kBackgroundCases[] = {
    {"read_and_pruned", false, 2, 4},
    {"unreadable", true, 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Journal, BackgroundLoading, ::testing::ValuesIn(kBackgroundCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PruneCase {
    const char* name;
    std::size_t entries;
    std::int64_t ageOfOldest;  // seconds; entries are one second apart, the newest now
    std::size_t kept;
    bool rewritten;
};

class Pruning : public ::testing::TestWithParam<PruneCase> {};

TEST_P(Pruning, KeepsTheNewestYearAndTenThousand) {
    const PruneCase& c = GetParam();
    const std::int64_t now = 2'000'000'000;
    MemoryJournalFiles files;
    std::int64_t clock = now - c.ageOfOldest;
    ChangeJournal writer(files, "/j", "s", [&] { return clock; });
    const std::int64_t step = c.entries > 1 ? c.ageOfOldest / std::int64_t(c.entries - 1) : 0;
    JournalEntry small;
    small.label.caption = "x";
    for (std::size_t i = 0; i < c.entries; ++i, clock += step) ASSERT_TRUE(writer.append(small));
    const std::string before = files.file("/j");

    clock = now;
    ChangeJournal journal(files, "/j", "s", [&] { return clock; });
    ASSERT_TRUE(journal.load());
    ASSERT_TRUE(journal.prune());
    EXPECT_EQ(journal.entries().size(), c.kept);
    EXPECT_EQ(files.file("/j") != before, c.rewritten);
    ASSERT_TRUE(journal.load());
    EXPECT_EQ(journal.entries().size(), c.kept);
    if (c.kept > 0) {
        EXPECT_EQ(journal.entries().back().id, std::int64_t(c.entries));
    }
}

const PruneCase kPruneCases[] = {
    {"nothing to prune", 5, 60, 5, false},
    {"older than a year", 3, 2 * kJournalKeepSeconds, 2, true},
    {"all older", 1, kJournalKeepSeconds + 1, 0, true},
    {"beyond ten thousand", kJournalKeepCount + 3, 100, kJournalKeepCount, true},
};
INSTANTIATE_TEST_SUITE_P(Journal, Pruning, ::testing::ValuesIn(kPruneCases),
                         [](const auto& info) { return std::to_string(info.index); });

// A prune drops the entries the rule names and their void marks, and nothing else: every line the
// reader does not understand stays byte for byte and in its place.
TEST(ChangeJournal, PruningKeepsEveryLineItDoesNotUnderstand) {
    const std::int64_t now = 2'000'000'000;
    const std::int64_t old = now - kJournalKeepSeconds - 1;
    MemoryJournalFiles files;
    std::int64_t clock = old;
    ChangeJournal writer(files, "/j", "s", [&] { return clock; });
    JournalEntry e = sampleEntry();
    ASSERT_TRUE(writer.append(e));  // 1: old
    ASSERT_TRUE(writer.append(e));  // 2: old, voided
    ASSERT_TRUE(writer.markVoid(2));
    const std::string garbled = "garbage \xff\r";
    const std::string future = R"({"format":2,"entry":{"id":3}})";
    files.file("/j") += garbled + "\n" + future + "\n\n";
    clock = now;
    ASSERT_TRUE(writer.append(e));  // 3: new, voided
    ASSERT_TRUE(writer.markVoid(3));
    ASSERT_TRUE(writer.append(e));  // 4: new
    const std::string orphanVoid = voidMarkToJson(99);
    const std::string torn = entryToJson(e).substr(0, 40);
    files.file("/j") += orphanVoid + "\n" + torn;
    const std::string kept = garbled + "\n" + future + "\n\n" + entryLine(files, 3) + "\n" +
                             voidMarkToJson(3) + "\n" + entryLine(files, 4) + "\n" + orphanVoid +
                             "\n" + torn;

    ChangeJournal journal(files, "/j", "s", [&] { return clock; });
    ASSERT_TRUE(journal.load());
    ASSERT_TRUE(journal.prune());
    EXPECT_EQ(files.file("/j"), kept);
    ASSERT_EQ(journal.entries().size(), 1u);
    EXPECT_EQ(journal.entries()[0].id, 4);
    ASSERT_TRUE(journal.prune());  // nothing more to drop: the file is not touched again
    EXPECT_EQ(files.file("/j"), kept);
    JournalEntry next = sampleEntry();
    ASSERT_TRUE(journal.append(next));
    EXPECT_EQ(next.id, 5);
}

// Ids are 1 to 2^53: a line with any other id, or an undo or void mark of one, is not understood,
// and the ids never wrap round.
TEST(ChangeJournal, IdsOutsideTheirRangeAreGarbledAndNeverWrap) {
    const std::string entry = entryToJson(sampleEntry());
    const auto withId = [&](const std::string& id) {
        return R"({"id":)" + id + entry.substr(entry.find(','));
    };
    const struct {
        std::string line;
        JournalLine::Kind kind;
    } cases[] = {
        {withId("1"), JournalLine::Kind::Entry},
        {withId("9007199254740992"), JournalLine::Kind::Entry},  // 2^53
        {withId("9007199254740993"), JournalLine::Kind::Garbled},
        {withId("9223372036854775807"), JournalLine::Kind::Garbled},
        {withId("18446744073709551615"), JournalLine::Kind::Garbled},
        {withId("0"), JournalLine::Kind::Garbled},
        {withId("-5"), JournalLine::Kind::Garbled},
        {withId("1.5"), JournalLine::Kind::Garbled},
        {R"({"void":9007199254740992})", JournalLine::Kind::Void},
        {R"({"void":9223372036854775807})", JournalLine::Kind::Garbled},
        {R"({"void":0})", JournalLine::Kind::Garbled},
        {R"({"undoes":2,)" + withId("3").substr(1), JournalLine::Kind::Entry},
        {R"({"undoes":9223372036854775807,)" + withId("3").substr(1), JournalLine::Kind::Garbled},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseJournalLine(c.line).kind, c.kind) << c.line.substr(0, 60);

    MemoryJournalFiles files;
    files.file("/j") = withId("9007199254740992") + "\n" + withId("9223372036854775807") + "\n";
    ChangeJournal journal(files, "/j", "s");
    ASSERT_TRUE(journal.load());
    EXPECT_EQ(journal.garbledLines(), 1);
    const std::string before = files.file("/j");
    JournalEntry next = sampleEntry();
    EXPECT_FALSE(journal.append(next));  // the ids are used up: nothing written
    EXPECT_EQ(files.file("/j"), before);
    EXPECT_EQ(journal.entries().size(), 1u);
}

TEST(ChangeJournal, AFailedAppendLeavesNoEntry) {
    MemoryJournalFiles files;
    files.setFault([](std::string_view, const std::string&) { return Status::error("满", 28); });
    ChangeJournal journal(files, "/j", "s");
    JournalEntry e = sampleEntry();
    EXPECT_FALSE(journal.append(e));
    EXPECT_TRUE(journal.entries().empty());
}

// ---- What the user reads -----------------------------------------------------------------------

TEST(JournalText, DescribesStatesAndHistoryLines) {
    const auto& codec = test::codec936();
    struct Case {
        ValueState state;
        std::string text;
    } cases[] = {
        {{}, "（无）"},
        {{true, kRegDword, std::string("\xff\xff\xff\xff", 4)}, "4294967295"},
        {{true, kRegSz, codec.toAnsi("桌面").value() + '\0'}, "\"桌面\""},
        {{true, kRegBinary, std::string("\x01\0\xab", 3)}, "01 00 AB"},
        {{true, kRegBinary, ""}, "（空）"},
    };
    for (const Case& c : cases) EXPECT_EQ(describeValue(c.state, codec), c.text);

    JournalEntry e = sampleEntry();
    e.id = 4;
    e.label.caption = "a\tb";
    JournalEntry undo = e;
    undo.id = 5;
    undo.undoes = 4;
    const std::vector<HistoryRow> rows = historyRows({e, undo}, codec);
    ASSERT_EQ(rows.size(), 2u);
    const std::string line = historyLine(rows[1]);
    EXPECT_EQ(line.rfind("4\t", 0), 0u);
    EXPECT_NE(line.find("\ta b\t"), std::string::npos);
    EXPECT_NE(line.find("NoRun：（无） → 1"), std::string::npos);
    EXPECT_EQ(line.substr(line.size() - 10), "\t已撤销");
    EXPECT_EQ(historyLine(rows[0]).find("已撤销"), std::string::npos);
}

TEST(JournalText, PasswordValuesAreShownAsStars) {
    const auto& codec = test::codec936();
    const ValueState secret{true, kRegSz, codec.toAnsi("hunter2").value() + '\0'};
    const ValueState other{true, kRegSz, codec.toAnsi("swordfish").value() + '\0'};
    struct Case {
        const char* name;
        ValueState before, after;
        const char* shown;  // what the history line holds after the path
    } cases[] = {
        {"DefaultPassword", other, secret, "DefaultPassword：****** → ******"},
        {"PASSWORD", {}, secret, "PASSWORD：（无） → ******"},
        {"AutoAdminpassWordHint", secret, {}, "AutoAdminpassWordHint：****** → （无）"},
        {"Passwor", {}, secret, "Passwor：（无） → \"hunter2\""},
        {"DefaultUserName", other, secret, "DefaultUserName：\"swordfish\" → \"hunter2\""},
    };
    for (const Case& c : cases) {
        JournalEntry e;
        e.id = 1;
        e.items.push_back({ItemKind::Value,
                           kHkeyLocalMachine,
                           "Software\\Winlogon",
                           c.name,
                           c.before,
                           c.after,
                           {},
                           {}});
        const std::string line = historyLine(historyRows({e}, codec).at(0));
        EXPECT_NE(line.find(c.shown), std::string::npos) << line;
        if (std::string(c.shown).find("******") == std::string::npos) continue;
        EXPECT_EQ(line.find("hunter2"), std::string::npos) << line;
        EXPECT_EQ(line.find("swordfish"), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace hivora::testing
