#include "calculator/Board.h"
#include "calculator/ResultList.h"
#include "calculator/Scoring.h"
#include "calculator/TileTest.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using calc::ResultList;

std::vector<std::string> RandomWords(std::size_t count, std::size_t minLength,
                                     std::size_t maxLength, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> words(count);
    for (std::string& word : words) {
        word.resize(minLength + random() % (maxLength - minLength + 1));
        for (char& c : word) {
            c = static_cast<char>('A' + random() % 26);
        }
    }
    return words;
}

// The placement scores of one word, as the window asks for them on every
// Calculate: from its board and centre option.
void BM_PlacementScores(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    const auto words = RandomWords(1024, length, length, 1);
    std::vector<std::int32_t> scores;
    std::size_t next = 0;
    for (auto _ : state) {
        calc::PlacementScores(words[next++ & 1023], calc::kBoardLayout, true, scores);
        benchmark::DoNotOptimize(scores.data());
    }
}
BENCHMARK(BM_PlacementScores)->Arg(2)->Arg(15);

void BM_TileTest15Letters(benchmark::State& state) {
    const auto words = RandomWords(1024, 15, 15, 2);
    const calc::TileTable left = calc::kTileDistribution;
    std::size_t next = 0;
    for (auto _ : state) {
        auto result = calc::countTiles(words[next++ & 1023], left, false, true);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_TileTest15Letters);

// A pruned list of about `rows` rows, as words of 2 to 15 letters leave it.
ResultList PrunedList(std::size_t rows) {
    ResultList list;
    std::vector<std::int32_t> scores;
    unsigned seed = 10;
    while (static_cast<std::size_t>(list.RowCount()) < rows) {
        const std::size_t missing = rows - static_cast<std::size_t>(list.RowCount());
        for (const std::string& word : RandomWords(missing / 18 + 1, 2, 15, seed++)) {
            calc::PlacementScores(word, calc::kBoardLayout, true, scores);
            list.AddPlacementRows(word, scores, false);
        }
        list.CompressResults();
    }
    return list;
}

// Adding a 15-letter word's rows with unique scores on: the list is ordered,
// so the rows are merged in place.
void BM_AddWordAndPrune(benchmark::State& state) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    const ResultList original = PrunedList(rows);
    const auto words = RandomWords(4096, 15, 15, 3);
    std::vector<std::vector<std::int32_t>> scores(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        calc::PlacementScores(words[i], calc::kBoardLayout, true, scores[i]);
    }
    ResultList list = original;
    std::size_t next = 0;
    double bytesPerRow = 0;
    for (auto _ : state) {
        list.AddPlacementRows(words[next & 4095], scores[next & 4095], true);
        ++next;
        if (static_cast<std::size_t>(list.RowCount()) > rows + rows / 50 + 300) {
            state.PauseTiming();
            bytesPerRow = static_cast<double>(list.MemoryBytes()) / list.RowCount();
            list = original;
            state.ResumeTiming();
        }
    }
    if (bytesPerRow == 0) {
        bytesPerRow = static_cast<double>(list.MemoryBytes()) / list.RowCount();
    }
    state.counters["rows"] = static_cast<double>(list.RowCount());
    state.counters["bytes_per_row"] = bytesPerRow;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AddWordAndPrune)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// A full pruning of an unsorted list of a million rows: the placement rows of
// about 4000 words listed with unique scores off (argument 0), or a million
// plain-mode rows of distinct words (argument 1).
void BM_CompressResultsUnsorted(benchmark::State& state) {
    const bool plain = state.range(0) == 1;
    constexpr int kRows = 1000000;
    ResultList original;
    std::vector<std::int32_t> scores;
    std::mt19937 random(4);
    for (unsigned seed = 20; original.RowCount() < kRows; ++seed) {
        for (const std::string& word : RandomWords(256, 2, 15, seed)) {
            if (original.RowCount() >= kRows) {
                break;
            }
            if (plain) {
                original.AddRow(word, static_cast<std::int32_t>(random() % 120));
            } else {
                calc::PlacementScores(word, calc::kBoardLayout, true, scores);
                original.AddPlacementRows(word, scores, false);
            }
        }
    }
    state.counters["rows"] = original.RowCount();
    state.counters["bytes_per_row"] =
        static_cast<double>(original.MemoryBytes()) / original.RowCount();
    for (auto _ : state) {
        state.PauseTiming();
        ResultList list = original;
        state.ResumeTiming();
        list.CompressResults();
        benchmark::DoNotOptimize(list.RowCount());
        state.PauseTiming();
        list = ResultList();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CompressResultsUnsorted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
