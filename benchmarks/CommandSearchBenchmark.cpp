// A search over every command of Microsoft 365's list, once Excel's words are in (the first
// search's questions to Excel are excel-host --measure's to count): a word beginning that
// matches many commands, two words, and one that matches nothing.
#include "CommandSearch.h"

#include <benchmark/benchmark.h>

namespace {

void SearchEveryCommand(benchmark::State& state)
{
    const wchar_t* words[] = {L"format", L"tools options", L"xyzzy"};
    cornice::CommandSearch search(cornice::PlaceList::Excel365, 1033, cornice::RibbonLabels(), nullptr);
    state.counters["hits"] = static_cast<double>(search.Find(words[state.range(0)], 1000).size());
    for (auto _ : state) {
        std::vector<cornice::SearchHit> hits = search.Find(words[state.range(0)]);
        benchmark::DoNotOptimize(hits.data());
    }
}
BENCHMARK(SearchEveryCommand)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The first search, which makes the words of every command (Excel not asked here).
void FirstSearch(benchmark::State& state)
{
    for (auto _ : state) {
        cornice::CommandSearch search(cornice::PlaceList::Excel365, 1033, cornice::RibbonLabels(), nullptr);
        benchmark::DoNotOptimize(search.Find(L"format").data());
    }
}
BENCHMARK(FirstSearch)->Unit(benchmark::kMicrosecond);

} // namespace
