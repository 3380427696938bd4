// The settings text parser on whole device answers, and the settings file
// load and save, on the benchmark device's settings (Google Benchmark).
// Run: parser_speed --settings FILE.tvr [benchmark options]
#include "image/settings_file.h"
#include "image/settings_parser.h"
#include "sim/virtual_device.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace telvor;

constexpr int kVersion36 = 0x36;
constexpr std::string_view kQueries[] = {"SET?", "SMS?", "APN?", "EAD?", "XCFG?", "ECFG?"};

std::string g_settingsFile;

SettingsImage benchmarkImage()
{
    SettingsImage image;
    if (!readSettingsFile(g_settingsFile, image).ok) {
        std::fprintf(stderr, "cannot read %s\n", g_settingsFile.c_str());
        std::exit(2);
    }
    return image;
}

// What a v3.6E device with these settings sends for `query`, its closing
// "OK" CR included.
std::string answerTo(std::string_view query)
{
    VirtualDevice device(benchmarkImage());
    return device.handleLine(query).bytes;
}

void parseSetAnswer(benchmark::State& state)
{
    const std::string answer = answerTo("SET?");
    SettingsImage image;
    for (auto _ : state) {
        parseSettings(answer, image, kVersion36);
        benchmark::DoNotOptimize(image.bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
    state.counters["answer_bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(parseSetAnswer);

void parseEveryAnswer(benchmark::State& state)
{
    std::string answers[std::size(kQueries)];
    std::size_t bytes = 0;
    for (std::size_t index = 0; index < std::size(kQueries); ++index) {
        answers[index] = answerTo(kQueries[index]);
        bytes += answers[index].size();
    }
    SettingsImage image;
    for (auto _ : state) {
        for (const std::string& answer : answers)
            parseSettings(answer, image, kVersion36);
        benchmark::DoNotOptimize(image.bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(parseEveryAnswer);

void loadSettingsFile(benchmark::State& state)
{
    SettingsImage image;
    for (auto _ : state) {
        if (!readSettingsFile(g_settingsFile, image).ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.bytes().data());
    }
}
BENCHMARK(loadSettingsFile);

// A save writes a temporary file, syncs it to the disk and renames it: the
// sync is most of its cost, and it is what keeps an earlier file whole.
void saveSettingsFile(benchmark::State& state)
{
    const SettingsImage image = benchmarkImage();
    const auto folder = std::filesystem::temp_directory_path() / ("telvor-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string target = (folder / "saved.tvr").string();
    for (auto _ : state) {
        if (!writeSettingsFile(target, image).ok)
            state.SkipWithError("save failed");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(saveSettingsFile)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (int index = 1; index + 1 < argc; ++index)
        if (std::string_view(argv[index]) == "--settings")
            g_settingsFile = argv[index + 1];
    if (g_settingsFile.empty()) {
        std::fprintf(stderr, "usage: parser_speed --settings FILE.tvr [benchmark options]\n");
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
