// gif_bench.cpp: decodes the same GIF files with the control's decoder (parse
// and LZW to colour indices, every frame) and with giflib's DGifSlurp, and
// prints our speed as a multiple of giflib's for each group of pictures.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "anigif/crosscheck/giflib_reader.h"
#include "anigif/frame_decoder.h"

namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::vector<uint8_t>>;

// The small group is the client's own pictures when they have been drawn,
// else the stand-ins of make_bench_pictures.sh.
fs::path groupDir(const std::string& group) {
    std::error_code ec;
    if (group == "small" && fs::is_directory(ANIGIF_ART_DIR, ec)) {
        for (const auto& e : fs::directory_iterator(ANIGIF_ART_DIR, ec))
            if (e.path().extension() == ".gif") return ANIGIF_ART_DIR;
    }
    return fs::path(ANIGIF_BENCH_DIR) / group;
}

Files readGroup(const std::string& group) {
    Files out;
    std::vector<fs::path> paths;
    const fs::path dir = groupDir(group);
    std::cout << group << ": " << dir.string() << "\n";
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".gif") paths.push_back(e.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& p : paths) {
        std::ifstream f(p, std::ios::binary);
        out.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    return out;
}

void ours(benchmark::State& state, const Files* files) {
    for (auto _ : state)
        for (const auto& bytes : *files) {
            mj::anigif::DecodedGif d = mj::anigif::decodeGif(bytes);
            benchmark::DoNotOptimize(d.cells.data());
            if (d.cells.empty()) state.SkipWithError("refused a benchmark picture");
        }
}

void giflib(benchmark::State& state, const Files* files) {
    for (auto _ : state)
        for (const auto& bytes : *files) {
            mj::anigif::reference::MemoryInput in{bytes};
            auto g = mj::anigif::reference::slurp(in);
            benchmark::DoNotOptimize(g.get());
            if (!g) state.SkipWithError("giflib refused a benchmark picture");
        }
}

// Collects the mean time of each run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean")
                times[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<std::string, double>> groups = {
        {"small", 4.0}, {"still", 2.6}, {"anim", 5.0}, {"interlaced", 0.0}};
    std::map<std::string, Files> files;
    for (const auto& [g, goal] : groups) {
        files[g] = readGroup(g);
        benchmark::RegisterBenchmark(("ours/" + g).c_str(), ours, &files[g])->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("giflib/" + g).c_str(), giflib, &files[g])->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::cout << "\nspeed as a multiple of giflib's DGifSlurp:\n";
    for (const auto& [g, goal] : groups) {
        const double o = reporter.times["ours/" + g], r = reporter.times["giflib/" + g];
        if (o <= 0 || r <= 0) continue;
        std::cout << "  " << g << ": " << r / o << "x";
        if (goal > 0) std::cout << " (goal " << goal << "x)";
        std::cout << "\n";
    }
    benchmark::Shutdown();
    return 0;
}
