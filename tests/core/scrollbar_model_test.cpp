// The skinned scroll bar's value model: property rules, their messages and notices, and the stored
// properties.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/scrollbar/scroll_bar_properties.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::BarRig;
using testing::DialogKind;
using Strings = std::vector<std::string>;
using Ints = std::vector<std::int32_t>;

// The numeric properties by the name their notices carry.
struct Accessors {
    void (SkinnedScrollBar::*set)(std::int32_t);
    std::int32_t (SkinnedScrollBar::*get)() const;
};
const std::map<std::string_view, Accessors> kNumeric = {
    {"Value", {&SkinnedScrollBar::setValue, &SkinnedScrollBar::Value}},
    {"Min", {&SkinnedScrollBar::setMin, &SkinnedScrollBar::Min}},
    {"Max", {&SkinnedScrollBar::setMax, &SkinnedScrollBar::Max}},
    {"SmallChange", {&SkinnedScrollBar::setSmallChange, &SkinnedScrollBar::SmallChange}},
    {"LargeChange", {&SkinnedScrollBar::setLargeChange, &SkinnedScrollBar::LargeChange}},
    {"ColorScheme", {&SkinnedScrollBar::setColorScheme, &SkinnedScrollBar::ColorScheme}},
};

// Sets a numeric property by name; an empty name sets nothing.
struct Step {
    std::string_view property;
    std::int32_t value = 0;
};
void apply(SkinnedScrollBar& bar, const Step& step) {
    if (!step.property.empty()) (bar.*kNumeric.at(step.property).set)(step.value);
}

// Every stored property, in the order the description keeps them.
Ints storedProperties(const SkinnedScrollBar& b) {
    return {b.Enabled(),     b.LargeChange(), b.Min(),        b.Max(),
            b.SmallChange(), b.Value(),       b.ColorScheme()};
}

TEST(ScrollBarProperties, RangeRulesMessagesAndNotices) {
    struct Case {
        Step before;  // its notices and Change are not counted
        Step act;
        std::int32_t stored;  // the acted-on property afterwards
        std::int32_t value;
        int changes;
        Strings notes;
        bool invalidMessage = false;
    } const cases[] = {
        // The Value setter compares before clamping, and reports every store.
        {{}, {"Value", 0}, 0, 0, 0, {}},
        {{}, {"Value", 100}, 100, 100, 1, {"Value"}},
        {{"Value", 255}, {"Value", 300}, 255, 255, 1, {"Value"}},  // Max stored again, reported
        {{"Min", 5}, {"Value", 2}, 5, 5, 1, {"Value"}},
        {{"Value", 9}, {"Value", -7}, 0, 0, 1, {"Value"}},
        {{}, {"LargeChange", 20000}, 1, 0, 0, {"LargeChange"}, true},
        {{}, {"LargeChange", -1}, 1, 0, 0, {"LargeChange"}, true},
        {{}, {"LargeChange", 10000}, 10000, 0, 0, {"LargeChange"}},
        {{}, {"LargeChange", 0}, 0, 0, 0, {"LargeChange"}},
        {{}, {"SmallChange", 40000}, 1, 0, 0, {"SmallChange"}, true},
        {{}, {"SmallChange", -5}, 1, 0, 0, {"SmallChange"}, true},
        {{}, {"SmallChange", 32767}, 32767, 0, 0, {"SmallChange"}},
        {{}, {"Max", -3}, 32767, 0, 0, {"Max"}},
        {{"Value", 200}, {"Max", 100}, 100, 100, 1, {"Value", "Max"}},  // pulls Value down
        {{}, {"Min", 40000}, 0, 0, 0, {"Min"}},
        {{}, {"Min", -1}, 0, 0, 0, {"Min"}},
        {{}, {"Min", 50}, 50, 50, 1, {"Value", "Min"}},  // pulls Value up
        {{}, {"ColorScheme", -1}, 0, 0, 0, {}},          // -1 is 0: unchanged, no notice
        {{}, {"ColorScheme", 2}, 2, 0, 0, {"ColorScheme"}},
        {{"ColorScheme", 2}, {"ColorScheme", 2}, 2, 0, 0, {}},
    };
    for (const auto& c : cases) {
        const std::string name = std::string(c.act.property) + " " + std::to_string(c.act.value) +
                                 " after " + std::string(c.before.property);
        BarRig rig;
        apply(*rig.bar, c.before);
        rig.changes = 0;
        rig.notes.clear();
        const int presents = rig.window.presents;
        apply(*rig.bar, c.act);
        EXPECT_EQ((*rig.bar.*kNumeric.at(c.act.property).get)(), c.stored) << name;
        EXPECT_EQ(rig.bar->Value(), c.value) << name;
        EXPECT_EQ(rig.changes, c.changes) << name;
        EXPECT_EQ(rig.notes, c.notes) << name;
        // Each store of a value is presented once.
        if (c.act.property == "Value") {
            EXPECT_EQ(rig.window.presents - presents, c.changes) << name;
        }
        const auto boxes = rig.dialogs.callsOf(DialogKind::MessageBox);
        ASSERT_EQ(boxes.size(), c.invalidMessage ? 1u : 0u) << name;
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
    struct Case {
        const char* name;
        std::vector<MemoryPropertyBag::Entry> stored;
        Ints loaded;  // as storedProperties() lists them
        int changes;
        Strings notes;  // Enabled and the scheme are taken directly, without notices
        Strings messages;
    } const cases[] = {
        {"Value above the stored Max is clamped",
         {{"max", 100}, {"VALUE", 300}, {"colorscheme", 1}, {"enabled", 0}, {"LARGECHANGE", 20}},
         {0, 20, 0, 100, 1, 100, 1},
         1,
         {"LargeChange", "Max", "Min", "SmallChange", "Value"},
         {}},
        {"validated, but the scheme's -1 rule belongs to the setter only",
         {{"LargeChange", 20000}, {"ColorScheme", -1}},
         {1, 1, 0, 255, 1, 0, -1},
         0,  // a stored Value of 0 raises nothing
         {"LargeChange", "Max", "Min", "SmallChange"},
         {"Invalid property value"}},
    };
    for (const auto& c : cases) {
        RecordingBag bag;
        for (const auto& entry : c.stored) bag.set(entry.key, entry.value);
        BarRig rig;
        rig.notes.clear();
        rig.bar->ReadProperties(bag);
        EXPECT_EQ(bag.reads, (Strings{"Enabled", "LargeChange", "Max", "Min", "SmallChange",
                                      "Value", "ColorScheme"}));
        EXPECT_EQ(storedProperties(*rig.bar), c.loaded) << c.name;
        EXPECT_EQ(rig.changes, c.changes) << c.name;
        EXPECT_EQ(rig.notes, c.notes) << c.name;
        EXPECT_EQ(rig.dialogs.messagePrompts(), c.messages) << c.name;
    }
}

TEST(ScrollBarStoredProperties, SavingWritesOnlyNonDefaultsInOrderAndRoundTrips) {
    BarRig fresh;
    MemoryPropertyBag empty;
    fresh.bar->WriteProperties(empty);
    EXPECT_TRUE(empty.entries().empty());

    BarRig rig;
    rig.bar->setEnabled(false);
    for (const Step& step : {Step{"ColorScheme", 2}, Step{"SmallChange", 3}, Step{"Value", 40},
                             Step{"Max", 90}, Step{"Min", 7}, Step{"LargeChange", 15}}) {
        apply(*rig.bar, step);
    }
    MemoryPropertyBag bag;
    rig.bar->WriteProperties(bag);
    Strings keys;
    for (const auto& entry : bag.entries()) keys.push_back(entry.key);
    EXPECT_EQ(keys, (Strings{"Enabled", "LargeChange", "Min", "Max", "SmallChange", "Value",
                             "Colorscheme"}));
    EXPECT_EQ(bag.find("enabled"), kStoredFalse);
    BarRig copy;
    copy.bar->ReadProperties(bag);
    EXPECT_EQ(storedProperties(*copy.bar), (Ints{0, 15, 7, 90, 3, 40, 2}));

    // Saving a property back at its default removes what the earlier save stored, so that the
    // description does not bring the old value back.
    rig.bar->setMin(0);
    rig.bar->setValue(0);
    rig.bar->WriteProperties(bag);
    EXPECT_FALSE(bag.find("Value").has_value());
}

}  // namespace
}  // namespace hivora
