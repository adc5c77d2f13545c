#include "app/App.h"
#include "app/MenuBar1.h"
#include "calculator/Scoring.h"
#include "calculator/TileSet.h"
#include "framework/gui/EditField.h"
#include "framework/gui/Listbox.h"
#include "windows/TalloCalc.h"

#include <QApplication>
#include <QHeaderView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 1000000;

// A calculator window whose result list the benchmark may fill directly:
// listing a million rows word by word through the field would take minutes.
class FilledCalc : public TalloCalc {
public:
    calc::ResultList& Results() { return myResults; }
};

// Fifteen letters drawn from the tile bag, so that every word fits a full set.
std::vector<std::string> FittingWords(std::size_t count, unsigned seed) {
    std::string bag;
    for (int symbol = 1; symbol < calc::kSymbolCount; ++symbol) {
        bag.append(static_cast<std::size_t>(calc::kTileDistribution[symbol]),
                   static_cast<char>('A' + symbol - 1));
    }
    std::mt19937 random(seed);
    std::vector<std::string> words(count);
    for (std::string& word : words) {
        std::shuffle(bag.begin(), bag.end(), random);
        word = bag.substr(0, 15);
    }
    return words;
}

// Memory the process holds: resident pages after free heap was handed back.
std::size_t ResidentBytes() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

struct Fixture {
    FilledCalc* window = nullptr;
    double residentPerRow = 0;
    double heapPerRow = 0;
};

// One window with special spaces and unique scores on, and a pruned list of
// at least a million rows of 15-letter words, as a long session leaves it.
Fixture& Filled() {
    static Fixture fixture = [] {
        Fixture f;
        App* app = App::instance();
        app->prefEnableSpecialSpaces = true;
        app->prefOnlyUniqueScores = true;
        f.window = fw::NewWindow<FilledCalc>();
        Settle();
        const std::size_t resident0 = ResidentBytes();
        const std::size_t heap0 = HeapBytes();

        calc::ResultList& results = f.window->Results();
        std::vector<std::int32_t> scores;
        for (unsigned seed = 100; results.RowCount() < kRows; ++seed) {
            // Never more than a million unpruned rows at a time: the list
            // should hold what a session of merges leaves, not a bulk load.
            const std::size_t words = static_cast<std::size_t>(kRows - results.RowCount()) / 30 + 1;
            for (const std::string& word : FittingWords(words, seed)) {
                calc::PlacementScores(word, calc::kBoardLayout, true, scores);
                results.AddPlacementRows(word, scores, false);
            }
            f.window->CompressResults();
        }
        Settle();
        const double rows = results.RowCount();
        f.residentPerRow = static_cast<double>(ResidentBytes() - resident0) / rows;
        f.heapPerRow = static_cast<double>(HeapBytes() - heap0) / rows;
        return f;
    }();
    return fixture;
}

// Calculate pressed in the window, and the window brought up to date on
// screen: the tile test, the placement scores, the merge into a million
// rows, the list's relayout and the repaint.
void BM_CalculateWithMillionRows(benchmark::State& state) {
    Fixture& f = Filled();
    FilledCalc* window = f.window;
    auto* field = window->FindControl<fw::EditField>("tbox_Word");
    const std::vector<std::string> words = FittingWords(4096, 7);
    std::vector<double> times;
    std::size_t next = 0;
    for (auto _ : state) {
        field->SetText(words[next++ % words.size()]);
        const auto start = std::chrono::steady_clock::now();
        window->btn_Calc_Action();
        Settle();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        times.push_back(elapsed.count() * 1000);
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0 : times[times.size() / 2];
    state.counters["rows"] = window->Results().RowCount();
    state.counters["resident_bytes_per_row"] = f.residentPerRow;
    state.counters["heap_bytes_per_row"] = f.heapPerRow;
}
BENCHMARK(BM_CalculateWithMillionRows)->UseManualTime()->Unit(benchmark::kMillisecond);

// A click on the Score heading, then on the Word heading, at a million rows.
void BM_HeadingSortsWithMillionRows(benchmark::State& state) {
    FilledCalc* window = Filled().window;
    auto* list = window->FindControl<fw::Listbox>("lbox_wordValue");
    for (auto _ : state) {
        emit list->header()->sectionClicked(1);
        emit list->header()->sectionClicked(0);
        Settle();
    }
    state.counters["rows"] = list->RowCount();
}
BENCHMARK(BM_HeadingSortsWithMillionRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication runtime(argc, argv);
    auto app = std::make_unique<App>();
    app->SetMenuBar(MenuBar1::instance());
    static_cast<prefs::OptionValues&>(*app) = prefs::DefaultOptions();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    app.reset();
    MenuBar1::Release();
    return 0;
}
