// SPDX-License-Identifier: MIT
// Loading and saving a full message list, each next to the plainest Qt code doing the same
// file and list work, so the ratio shows what the storage layer adds.
#include "MessageLimits.h"
#include "MessageListFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <string_view>

#include <unistd.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString listPath = dir.filePath(QStringLiteral("RandomMsgs.lst"));
    QString savePath = dir.filePath(QStringLiteral("Saved.lst"));
    QString baselinePath = dir.filePath(QStringLiteral("Baseline.lst"));
    QStringList lines;
    QByteArray bytes;
    QListWidget filled;

    Fixture() {
        for (int i = 0; i < engine::kMaxMessages; ++i)
            lines.append(QStringLiteral(R"(<font color="#%1">Away, back at %2 – café</font>)")
                             .arg(i % 0xFFFFFF, 6, 16, QLatin1Char('0'))
                             .arg(i));
        bytes = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(listPath));
        filled.addItems(lines);
    }
};

Fixture* fixture = nullptr;

// Each iteration fills a fresh list box; making and dropping it is not timed.
template <typename Fill> void TimeFilling(benchmark::State& state, Fill fill) {
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<QListWidget>();
        state.ResumeTiming();
        fill(*list);
        state.PauseTiming();
        if (list->count() != engine::kMaxMessages ||
            list->item(engine::kMaxMessages - 1)->text() != fixture->lines.back())
            state.SkipWithError("the list doesn't hold the file's lines");
        list.reset();
        state.ResumeTiming();
    }
}

void Load(benchmark::State& state) {
    TimeFilling(state, [](QListWidget& list) {
        list.addItems(storage::loadMessageList(fixture->listPath, engine::kMaxMessages).entries);
    });
}

void LoadBaseline(benchmark::State& state) {
    TimeFilling(state, [](QListWidget& list) {
        QFile file(fixture->listPath);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
        list.addItems(fixture->lines);
    });
}

void Save(benchmark::State& state) {
    // As the window saves: the entries out of the list box, then the file.
    for (auto _ : state) {
        QStringList entries;
        for (int row = 0; row < fixture->filled.count(); ++row)
            entries << fixture->filled.item(row)->text();
        (void)storage::saveMessageList(fixture->savePath, entries);
    }
    QFile saved(fixture->savePath);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != fixture->bytes)
        state.SkipWithError("saved file differs");
}

void SaveBaseline(benchmark::State& state) {
    for (auto _ : state) {
        QFile file(fixture->baselinePath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(fixture->bytes);
    }
}

// The same with the flush to disk that a save needs to survive a crash, for reference.
void SaveBaselineSynced(benchmark::State& state) {
    for (auto _ : state) {
        QFile file(fixture->baselinePath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(fixture->bytes);
        file.flush();
        ::fdatasync(file.handle());
    }
}

BENCHMARK(Load)->Name("load")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadBaseline)->Name("load_baseline")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save)->Name("save")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveBaseline)->Name("save_baseline")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveBaselineSynced)
    ->Name("save_baseline_fdatasync")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Prints the usual table, then each figure against its baselines.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean" ||
                 run.aggregate_name == "median"))
                ms_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }

    void PrintRatios() const {
        static constexpr std::pair<std::string_view, std::string_view> Pairs[] = {
            {"load", "load_baseline"},
            {"save", "save_baseline"},
            {"save", "save_baseline_fdatasync"}};
        for (const auto& [measured, baseline] : Pairs)
            for (const auto& [name, ms] : ms_)
                if (name.starts_with(std::string(baseline) + '/'))
                    PrintRatio(std::string(measured) + name.substr(baseline.size()), name, ms);
    }

private:
    void PrintRatio(const std::string& measured, const std::string& baseline, double ms) const {
        if (const auto it = ms_.find(measured); it != ms_.end())
            std::printf("%-30s %8.3f ms vs %-38s %8.3f ms: %.2fx\n", measured.c_str(), it->second,
                        baseline.c_str(), ms, it->second / ms);
    }

    std::map<std::string, double> ms_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture data;
    fixture = &data;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
}
