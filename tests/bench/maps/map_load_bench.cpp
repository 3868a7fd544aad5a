// Map load time (read + planes + smoothed normals) of single-mesh maps of 1k,
// 10k and 100k faces: the shipped smoothing against the all-pairs reference,
// with their ratio printed at the end of the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "client/map/map.h"
#include "tests/support/map_files.h"
#include "tests/support/normals_oracle.h"

namespace {

const std::string& mapFile(int faces) {
    static std::map<int, std::unique_ptr<TempFile>> files;
    auto& file = files[faces];
    if (!file) file = std::make_unique<TempFile>(gridMapText(faces));
    return file->path;
}

void loadShipped(benchmark::State& state) {
    const std::string& path = mapFile(int(state.range(0)));
    for (auto _ : state) {
        Map map(path.c_str(), MAP_GEOMETRY_ONLY);
        benchmark::DoNotOptimize(map.meshList()[0].faces);
    }
}

void loadAllPairs(benchmark::State& state) {
    const std::string& path = mapFile(int(state.range(0)));
    for (auto _ : state) {
        Map map(MAP_GEOMETRY_ONLY);
        map.readMapFile(path.c_str());
        for (MapMesh mesh : map.meshes()) {
            buildFlatNormals(mesh);
            smoothNormalsAllPairs(mesh);
        }
        benchmark::DoNotOptimize(map.meshList()[0].faces);
    }
}

BENCHMARK(loadShipped)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAllPairs)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadAllPairs)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Prints, after the usual table, the reference time over the shipped time in
// processor time, which other work on a shared machine disturbs least.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            size_t slash = name.find('/');
            std::string kind = name.substr(0, slash), size = name.substr(slash + 1);
            size = size.substr(0, size.find('/'));
            seconds[size][kind] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nprocessor time\nfaces      shipped(ms)   all-pairs(ms)   all-pairs/shipped\n");
        for (const auto& entry : seconds) {
            auto shipped = entry.second.find("loadShipped"), pairs = entry.second.find("loadAllPairs");
            if (shipped == entry.second.end() || pairs == entry.second.end()) continue;
            std::printf("%-10s %11.2f %15.2f %19.1f\n", entry.first.c_str(), shipped->second,
                        pairs->second, pairs->second / shipped->second);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
