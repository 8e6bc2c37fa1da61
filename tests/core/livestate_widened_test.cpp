// Rows widened for today's Windows are judged by what they always wrote: "set" when another
// program set only those values, whatever is at today's location, and "not set" when only today's
// location holds the setting. Today's location is still read, so the tooltip shows it.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "tests/core/livestate_rig.h"

namespace hivora::testing {
namespace {

struct WidenedRow {
    CataloguePage page;
    int index;
    const CatalogueRow* row;
};

// Every row that names today's location, found in the catalogue itself.
std::vector<WidenedRow> widenedRows() {
    constexpr CataloguePage kPages[] = {CataloguePage::Desktop, CataloguePage::Restrictions,
                                        CataloguePage::HideShow, CataloguePage::BrowserProperties,
                                        CataloguePage::LogonStyle};
    std::vector<WidenedRow> found;
    for (CataloguePage page : kPages) {
        const auto rows = pageCatalogue(page).rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].todaysLocation.empty())
                found.push_back({page, static_cast<int>(i), &rows[i]});
        }
    }
    return found;
}

std::string traceOf(const WidenedRow& widened) {
    return std::string(pageName(widened.page)) + " row " + std::to_string(widened.index);
}

// The operations of `action` before today's location, and today's own.
std::span<const RegOp> alwaysWritten(const ButtonAction& action) {
    return action.ops.first(action.ops.size() - action.todaysOps);
}
std::span<const RegOp> todaysWrites(const ButtonAction& action) {
    return action.ops.last(action.todaysOps);
}

// Another program writes `ops` (the access layer stands in for it).
void writeAsAnotherProgram(LiveStateRig& rig, std::span<const RegOp> ops) {
    for (const RegOp& op : ops) {
        const Status status = applyRegOp(rig.layer(), op);
        EXPECT_TRUE(status.isOk()) << status.message();
    }
}

bool readsPlaceOf(const RowState& state, const RegOp& op) {
    for (const PlaceReading& reading : state.readings) {
        if (reading.root == op.root && reading.key == op.key && reading.name == op.name)
            return true;
    }
    return false;
}

TEST(LiveStateWidenedRows, SetByTheirOldValuesWhateverIsAtTodaysLocation) {
    const std::vector<WidenedRow> rows = widenedRows();
    ASSERT_FALSE(rows.empty());
    for (const WidenedRow& widened : rows) {
        SCOPED_TRACE(traceOf(widened));
        const ButtonAction& set = widened.row->set;
        ASSERT_GT(set.todaysOps, 0);
        ASSERT_LE(set.todaysOps, set.ops.size());
        LiveStateRig rig;

        writeAsAnotherProgram(rig, alwaysWritten(set));
        const RowState oldOnly = rig.state(widened.page, widened.index);
        EXPECT_EQ(oldOnly.state, SettingState::Set);
        for (const RegOp& op : todaysWrites(set)) {
            EXPECT_TRUE(readsPlaceOf(oldOnly, op)) << op.key << " " << op.name;
        }

        // Someone else's value of another type at today's location changes nothing.
        for (const RegOp& op : todaysWrites(set)) {
            rig.writeForeign(op.root, op.key, op.name, kRegMultiSz, std::string("x\0\0", 3));
        }
        EXPECT_EQ(rig.state(widened.page, widened.index).state, SettingState::Set);
    }
}

TEST(LiveStateWidenedRows, NotSetWhenOnlyTodaysLocationHoldsTheSetting) {
    for (const WidenedRow& widened : widenedRows()) {
        SCOPED_TRACE(traceOf(widened));
        LiveStateRig rig;
        rig.press(widened.page, widened.index, RowButton::Lift);
        writeAsAnotherProgram(rig, todaysWrites(widened.row->set));
        EXPECT_EQ(rig.state(widened.page, widened.index).state, SettingState::NotSet);
    }
}

}  // namespace
}  // namespace hivora::testing
