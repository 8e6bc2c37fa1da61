// The skinned scroll bar's value model: property rules, their messages and notices, and the stored
// properties.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/scrollbar/scroll_bar_properties.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::BarRig;
using testing::DialogKind;
using Strings = std::vector<std::string>;

TEST(ScrollBarValue, SetterComparesBeforeClampingAndReportsEveryStore) {
    struct Case {
        const char* name;
        std::function<void(SkinnedScrollBar&)> arrange;
        std::int32_t set;
        std::int32_t stored;
        int changes;
    } const cases[] = {
        {"same value: nothing at all", [](auto&) {}, 0, 0, 0},
        {"ordinary value", [](auto&) {}, 100, 100, 1},
        {"above Max at Max stores Max again and reports", [](auto& b) { b.setValue(255); }, 300,
         255, 1},
        {"below Min", [](auto& b) { b.setMin(5); }, 2, 5, 1},
        {"negative", [](auto& b) { b.setValue(9); }, -7, 0, 1},
    };
    for (const auto& c : cases) {
        BarRig rig;
        c.arrange(*rig.bar);
        rig.changes = 0;
        rig.notes.clear();
        const int presents = rig.window.presents;
        rig.bar->setValue(c.set);
        EXPECT_EQ(rig.bar->Value(), c.stored) << c.name;
        EXPECT_EQ(rig.changes, c.changes) << c.name;
        EXPECT_EQ(rig.notes, c.changes ? Strings{"Value"} : Strings{}) << c.name;
        EXPECT_EQ(rig.window.presents - presents, c.changes) << c.name;  // one redraw per store
    }
}

TEST(ScrollBarProperties, RangeRulesMessagesAndNotices) {
    struct Case {
        const char* name;
        std::function<void(SkinnedScrollBar&)> act;
        std::function<std::int32_t(const SkinnedScrollBar&)> read;
        std::int32_t expected;
        bool invalidMessage;
        Strings notes;
        std::int32_t valueAfter;
    };
    const auto min = [](const SkinnedScrollBar& b) { return b.Min(); };
    const auto max = [](const SkinnedScrollBar& b) { return b.Max(); };
    const auto small = [](const SkinnedScrollBar& b) { return b.SmallChange(); };
    const auto large = [](const SkinnedScrollBar& b) { return b.LargeChange(); };
    const auto scheme = [](const SkinnedScrollBar& b) { return b.ColorScheme(); };
    const Case cases[] = {
        {"LargeChange 20000",
         [](auto& b) { b.setLargeChange(20000); },
         large,
         1,
         true,
         {"LargeChange"},
         0},
        {"LargeChange -1",
         [](auto& b) { b.setLargeChange(-1); },
         large,
         1,
         true,
         {"LargeChange"},
         0},
        {"LargeChange 10000",
         [](auto& b) { b.setLargeChange(10000); },
         large,
         10000,
         false,
         {"LargeChange"},
         0},
        {"LargeChange 0",
         [](auto& b) { b.setLargeChange(0); },
         large,
         0,
         false,
         {"LargeChange"},
         0},
        {"SmallChange 40000",
         [](auto& b) { b.setSmallChange(40000); },
         small,
         1,
         true,
         {"SmallChange"},
         0},
        {"SmallChange -5",
         [](auto& b) { b.setSmallChange(-5); },
         small,
         1,
         true,
         {"SmallChange"},
         0},
        {"SmallChange 32767",
         [](auto& b) { b.setSmallChange(32767); },
         small,
         32767,
         false,
         {"SmallChange"},
         0},
        {"Max -3", [](auto& b) { b.setMax(-3); }, max, 32767, false, {"Max"}, 0},
        {"Max below Value pulls it down",
         [](auto& b) {
             b.setValue(200);
             b.setMax(100);
         },
         max,
         100,
         false,
         {"Value", "Value", "Max"},
         100},
        {"Min 40000", [](auto& b) { b.setMin(40000); }, min, 0, false, {"Min"}, 0},
        {"Min -1", [](auto& b) { b.setMin(-1); }, min, 0, false, {"Min"}, 0},
        {"Min above Value pulls it up",
         [](auto& b) { b.setMin(50); },
         min,
         50,
         false,
         {"Value", "Min"},
         50},
        {"ColorScheme -1 is 0: unchanged, no notice",
         [](auto& b) { b.setColorScheme(-1); },
         scheme,
         0,
         false,
         {},
         0},
        {"ColorScheme 2",
         [](auto& b) { b.setColorScheme(2); },
         scheme,
         2,
         false,
         {"ColorScheme"},
         0},
        {"ColorScheme 2 twice notes once",
         [](auto& b) {
             b.setColorScheme(2);
             b.setColorScheme(2);
         },
         scheme,
         2,
         false,
         {"ColorScheme"},
         0},
    };
    for (const auto& c : cases) {
        BarRig rig;
        c.act(*rig.bar);
        EXPECT_EQ(c.read(*rig.bar), c.expected) << c.name;
        EXPECT_EQ(rig.notes, c.notes) << c.name;
        EXPECT_EQ(rig.bar->Value(), c.valueAfter) << c.name;
        const auto boxes = rig.dialogs.callsOf(DialogKind::MessageBox);
        ASSERT_EQ(boxes.size(), c.invalidMessage ? 1u : 0u) << c.name;
        if (c.invalidMessage) {
            EXPECT_EQ(boxes[0].prompt, "Invalid property value");
            EXPECT_EQ(boxes[0].buttons, kMbOk | kMbIconError);
            EXPECT_EQ(boxes[0].givenTitle, "");
            EXPECT_EQ(boxes[0].title, "Quillon");
        }
    }
}

TEST(ScrollBarProperties, EnabledGoesThroughTheWindowAndRepaints) {
    BarRig rig;
    const int presents = rig.window.presents;
    rig.bar->setEnabled(false);
    EXPECT_FALSE(rig.window.enabled);
    EXPECT_FALSE(rig.bar->Enabled());
    EXPECT_EQ(rig.notes, Strings{"Enabled"});
    EXPECT_EQ(rig.window.presents, presents + 1);
    EXPECT_EQ(rig.bar->hwnd(), rig.window.hwnd());
}

// A description that records the keys it is asked for.
class RecordingBag : public MemoryPropertyBag {
  public:
    std::int32_t ReadProperty(std::string_view key, std::int32_t defaultValue) override {
        reads.emplace_back(key);
        return MemoryPropertyBag::ReadProperty(key, defaultValue);
    }
    Strings reads;
};

TEST(ScrollBarStoredProperties, LoadingReadsInOrderIgnoringCaseThroughTheSetters) {
    RecordingBag bag;
    bag.set("max", 100);
    bag.set("VALUE", 300);  // above the stored Max: clamped by the setter
    bag.set("colorscheme", 1);
    bag.set("enabled", 0);
    bag.set("LARGECHANGE", 20);
    BarRig rig;
    rig.notes.clear();
    rig.bar->ReadProperties(bag);

    EXPECT_EQ(bag.reads, (Strings{"Enabled", "LargeChange", "Max", "Min", "SmallChange", "Value",
                                  "ColorScheme"}));
    EXPECT_FALSE(rig.bar->Enabled());
    EXPECT_EQ(rig.bar->LargeChange(), 20);
    EXPECT_EQ(rig.bar->Max(), 100);
    EXPECT_EQ(rig.bar->Value(), 100);
    EXPECT_EQ(rig.bar->ColorScheme(), 1);
    EXPECT_EQ(rig.changes, 1);
    // Enabled and the scheme are taken directly, without notices.
    EXPECT_EQ(rig.notes, (Strings{"LargeChange", "Max", "Min", "SmallChange", "Value"}));
}

TEST(ScrollBarStoredProperties, LoadingValidatesAndKeepsTheRawScheme) {
    MemoryPropertyBag bag;
    bag.set("LargeChange", 20000);
    bag.set("ColorScheme", -1);  // the -1 rule belongs to the setter only
    BarRig rig;
    rig.bar->ReadProperties(bag);
    EXPECT_EQ(rig.bar->LargeChange(), 1);
    EXPECT_EQ(rig.dialogs.messagePrompts(), Strings{"Invalid property value"});
    EXPECT_EQ(rig.bar->ColorScheme(), -1);
    EXPECT_EQ(rig.changes, 0);  // a stored Value of 0 raises nothing
}

TEST(ScrollBarStoredProperties, SavingWritesOnlyNonDefaultsInOrderAndRoundTrips) {
    BarRig fresh;
    MemoryPropertyBag empty;
    fresh.bar->WriteProperties(empty);
    EXPECT_TRUE(empty.entries().empty());

    BarRig rig;
    rig.bar->setEnabled(false);
    rig.bar->setColorScheme(2);
    rig.bar->setSmallChange(3);
    rig.bar->setValue(40);
    rig.bar->setMax(90);
    rig.bar->setMin(7);
    rig.bar->setLargeChange(15);
    MemoryPropertyBag bag;
    rig.bar->WriteProperties(bag);
    Strings keys;
    for (const auto& entry : bag.entries()) keys.push_back(entry.key);
    EXPECT_EQ(keys, (Strings{"Enabled", "LargeChange", "Min", "Max", "SmallChange", "Value",
                             "Colorscheme"}));
    EXPECT_EQ(bag.find("enabled"), kStoredFalse);

    BarRig copy;
    copy.bar->ReadProperties(bag);
    EXPECT_EQ(copy.bar->Enabled(), false);
    EXPECT_EQ(copy.bar->LargeChange(), 15);
    EXPECT_EQ(copy.bar->Min(), 7);
    EXPECT_EQ(copy.bar->Max(), 90);
    EXPECT_EQ(copy.bar->SmallChange(), 3);
    EXPECT_EQ(copy.bar->Value(), 40);
    EXPECT_EQ(copy.bar->ColorScheme(), 2);

    // Saving a property back at its default removes what the earlier save stored, so that the
    // description does not bring the old value back.
    rig.bar->setMin(0);
    rig.bar->setValue(0);
    rig.bar->WriteProperties(bag);
    EXPECT_FALSE(bag.find("Value").has_value());
}

}  // namespace
}  // namespace hivora
