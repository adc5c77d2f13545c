// Load and save of a large property list: 150,000 root entries of every
// type, nested dictionaries and arrays included, about 14 MB of text, side
// by side with pugixml parsing and saving the same file. Goals: loading at
// most 2.5 times pugixml's parse of the file, saving (flushed to disk) at
// most 1.5 times pugixml's save_file followed by fsync. After the table the
// run prints both ratios.
#include "framework/core/FolderItem.h"
#include "plist/XmlScanner.h"
#include "plist/plist.h"
#include "plist/plistDict.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iomanip>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>

namespace {

constexpr int kEntries = 150000;

// The folder of the generated files, removed when the run ends.
struct TemporaryFolder {
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tallorix-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

const std::filesystem::path& Folder() {
    static const TemporaryFolder folder;
    return folder.path;
}

// The large file; TALLORIX_PLIST_BENCH_FILE names a place to keep it, for
// timing other readers and writers on the same file.
fw::FolderItem LargeFile() {
    if (const char* kept = std::getenv("TALLORIX_PLIST_BENCH_FILE"); kept != nullptr && *kept) {
        return fw::FolderItem(kept);
    }
    return fw::FolderItem(Folder()).Child("large.plist");
}

// Writes the large file once per run.
std::uintmax_t MakeLargeFile() {
    static const std::uintmax_t size = [] {
        const fw::FolderItem file = LargeFile();
        std::error_code ec;
        std::filesystem::remove(file.Path(), ec);
        plist doc(file);
        plistDict& root = *doc.root;
        const fw::Date when = fw::Date::FromUTC({2024, 3, 7, 9, 5, 3});
        for (int i = 0; i < kEntries; ++i) {
            const std::string key = "entry" + std::to_string(i);
            switch (i % 8) {
            case 0:
                root.SetString(key, "Word list & scores <" + std::to_string(i) +
                                        "> with every placement on the fifteen-square board");
                break;
            case 1:
                root.SetInteger(key, i * 37 - 1000000);
                break;
            case 2:
                root.SetDouble(key, i / 7.0);
                break;
            case 3:
                root.SetBoolean(key, i % 3 == 0);
                break;
            case 4:
                root.SetDate(key, when);
                break;
            case 5:
                root.SetData(key, "VGFsbG9yaXggd29yZCBzY29yZXMgYW5kIGJvYXJkIHBsYWNlbWVudHM=");
                break;
            case 6: {
                plistDict& d = *root.child(key);
                d.SetString("word", "QUADRELLE");
                d.SetInteger("score", i % 200);
                d.SetBoolean("unique", true);
                break;
            }
            default: {
                root.AddArray(key);
                plistDict& a = *root.child(key);
                a.AppendInteger(i);
                a.AppendString("placement");
                a.AppendDict();
                a.index(2)->SetInteger("row", i % 15);
                a.AppendBoolean(false);
                break;
            }
            }
        }
        doc.Save();
        if (doc.error && doc.errorMessage == "Could not open file for saving") {
            std::abort();
        }
        return std::filesystem::file_size(file.Path());
    }();
    return size;
}

void BM_LoadLargeFile(benchmark::State& state) {
    const std::uintmax_t size = MakeLargeFile();
    for (auto _ : state) {
        auto doc = std::make_unique<plist>(LargeFile());
        benchmark::DoNotOptimize(doc->root->count());
        state.PauseTiming(); // the tree's teardown is not part of loading
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}

void BM_SaveLargeFile(benchmark::State& state) {
    const std::uintmax_t size = MakeLargeFile();
    // Saving to another file leaves the source for the load benchmark.
    plist copy(fw::FolderItem(Folder()).Child("copy.plist"), LargeFile());
    if (copy.root->count() != kEntries) {
        state.SkipWithError("the large file did not load");
    }
    for (auto _ : state) {
        copy.Save();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}

void BM_PugixmlParse(benchmark::State& state) {
    const std::uintmax_t size = MakeLargeFile();
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result parsed = doc->load_file(LargeFile().Path().c_str());
        if (!parsed) {
            state.SkipWithError("pugixml could not parse the large file");
        }
        benchmark::DoNotOptimize(doc->first_child());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// The file read whole, as pugixml's load_file reads it, then scanned to the
// end without building anything: the floor under any reader on the scanner.
void BM_ScanLargeFile(benchmark::State& state) {
    const std::uintmax_t size = MakeLargeFile();
    std::size_t tokens = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(LargeFile().Path().c_str(), "rb");
        std::unique_ptr<char[]> bytes(new char[size]);
        const std::size_t read = file != nullptr ? std::fread(bytes.get(), 1, size, file) : 0;
        if (file != nullptr) {
            std::fclose(file);
        }
        plistio::XmlScanner scanner(std::string_view(bytes.get(), read));
        tokens = 0;
        plistio::XmlScanner::Token token;
        while ((token = scanner.Next()) != plistio::XmlScanner::Token::Finished &&
               token != plistio::XmlScanner::Token::Error) {
            ++tokens;
        }
        if (token == plistio::XmlScanner::Token::Error) {
            state.SkipWithError("the scanner found the large file damaged");
        }
        benchmark::DoNotOptimize(tokens);
        state.PauseTiming();
        bytes.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_PugixmlSaveFile(benchmark::State& state) {
    const std::uintmax_t size = MakeLargeFile();
    pugi::xml_document doc;
    doc.load_file(LargeFile().Path().c_str());
    const std::string copy = (Folder() / "pugixml-copy.plist").string();
    for (auto _ : state) {
        doc.save_file(copy.c_str());
        const int fd = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            state.SkipWithError("could not sync pugixml's copy");
        }
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

} // namespace

namespace {

// The console table, followed by each goal's ratio of real times in this run
// (the medians when the run repeats).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("BM_LoadLargeFile", "BM_PugixmlParse", "load / pugixml's parse", 2.5);
        Ratio("BM_SaveLargeFile", "BM_PugixmlSaveFile", "save / pugixml's save_file + fsync",
              1.5);
    }

private:
    void Ratio(const std::string& ours, const std::string& theirs, const char* what,
               double goal) {
        const auto a = times_.find(ours);
        const auto b = times_.find(theirs);
        if (a == times_.end() || b == times_.end() || b->second <= 0) {
            return; // filtered out
        }
        const double ratio = a->second / b->second;
        GetOutputStream() << std::fixed << std::setprecision(2) << what << ": " << ratio
                          << " (goal at most " << goal << ")" << (ratio <= goal ? "" : " MISSED")
                          << "\n";
    }

    std::map<std::string, double> times_;
};

} // namespace

BENCHMARK(BM_LoadLargeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ScanLargeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveLargeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PugixmlSaveFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
