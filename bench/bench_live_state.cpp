// Reading the state of every row of every page from the Wine-format store with a 2 MB system hive
// (bench/generated_store.h), half of the rows set. The window reads all rows after every action
// and on every outside change, so this must stay well below a frame. Target: under 5 ms.

#include <benchmark/benchmark.h>

#include "bench/generated_store.h"
#include "core/catalogue/row_dispatch.h"
#include "core/livestate/live_state.h"

namespace hivora {
namespace {

using namespace bench;

// Every second row that sets without asking, set.
void setHalfTheRows(RegInfoGetSet& layer) {
    (void)layer.beginAction();  // the store is a fresh one of this program alone
    int n = 0;
    for (const StatePage& page : statePages()) {
        if (!page.page) continue;
        for (const CatalogueRow& row : pageCatalogue(*page.page).rows) {
            if (row.set.ask != nullptr || n++ % 2 != 0) continue;
            for (const RegOp& op : row.set.ops) (void)applyRegOp(layer, op);
        }
    }
    if (!layer.endAction().isOk()) std::abort();
}

std::size_t rowCount() {
    std::size_t rows = 0;
    for (const StatePage& page : statePages()) rows += rowCount(page);
    return rows;
}

// The window's case: one reader kept for the run, so each row's plan is built once.
void BM_ReadAllRowsOfAllPages(benchmark::State& state) {
    auto store = openFileStore(generated().folder(), codec()).value();
    RegInfoGetSet layer(*store, codec());
    setHalfTheRows(layer);
    LiveStateReader reader(layer);
    for (auto _ : state) benchmark::DoNotOptimize(readAllStates(reader));
    state.counters["rows"] = static_cast<double>(rowCount());
}
BENCHMARK(BM_ReadAllRowsOfAllPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first read of a run, plans included (`hivora --status` reads once).
void BM_FirstReadWithPlans(benchmark::State& state) {
    auto store = openFileStore(generated().folder(), codec()).value();
    RegInfoGetSet layer(*store, codec());
    for (auto _ : state) {
        LiveStateReader reader(layer);
        benchmark::DoNotOptimize(readAllStates(reader));
    }
}
BENCHMARK(BM_FirstReadWithPlans)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
