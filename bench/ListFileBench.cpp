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

    Fixture() {
        for (int i = 0; i < engine::kMaxMessages; ++i)
            lines.append(QStringLiteral(R"(<font color="#%1">Away, back at %2 – café</font>)")
                             .arg(i % 0xFFFFFF, 6, 16, QLatin1Char('0'))
                             .arg(i));
        bytes = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(listPath));
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
    for (auto _ : state)
        (void)storage::saveMessageList(fixture->savePath, fixture->lines);
    QFile saved(fixture->savePath);
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != fixture->bytes)
        state.SkipWithError("saved file differs");
}

// The least a save that survives a crash can do: join the entries, encode them once, write
// a new file, sync it and rename it over the old one.
void SaveBaseline(benchmark::State& state) {
    const QByteArray target = QFile::encodeName(fixture->baselinePath);
    const QString temporary = fixture->baselinePath + QStringLiteral(".new");
    for (auto _ : state) {
        QString joined = fixture->lines.join(QStringLiteral("\r\n"));
        joined += QStringLiteral("\r\n");
        const QByteArray bytes = joined.toUtf8();
        QFile file(temporary);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0 ||
            ::rename(QFile::encodeName(temporary).constData(), target.constData()) != 0)
            state.SkipWithError("the plain save failed");
    }
}

BENCHMARK(Load)->Name("load")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadBaseline)->Name("load_baseline")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save)->Name("save")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveBaseline)->Name("save_baseline")->Unit(benchmark::kMillisecond)->UseRealTime();

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
            {"load", "load_baseline"}, {"save", "save_baseline"}};
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
