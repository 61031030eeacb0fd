// Reading a settings file of 40,000 keys in one section, against reading its bytes alone in the
// same run: the reader's cost per byte should stay a small multiple of the read's.
#include "Recorder.h"
#include "toolkit/IniFiles.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kKeys = 40000;

std::string gPath;

void WriteLargeFile(const std::string& path) {
    std::ofstream out(path);
    out << "[Big]\n";
    for (int i = 0; i < kKeys; ++i) {
        out << "Key" << i << "Int1=" << i << '\n';
    }
}

void BM_ReadBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(gPath, std::ios::binary);
        std::string bytes(std::filesystem::file_size(gPath), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_ReadIniFile(benchmark::State& state) {
    for (auto _ : state) {
        tk::TMemIniFile ini(gPath);
        benchmark::DoNotOptimize(ini.ReadInteger("Big", "Key39999Int1", 0));
    }
}

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIniFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const QTemporaryDir dir;
    gPath = dir.path().toStdString() + "/large.ini";
    WriteLargeFile(gPath);

    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    const double bytes = recorder.times["BM_ReadBytes"];
    if (bytes > 0) {
        std::printf("\nReading %d keys: %.1fx reading the file's bytes (%.2f ms)\n", kKeys,
                    recorder.times["BM_ReadIniFile"] / bytes, bytes);
    }
    benchmark::Shutdown();
    return 0;
}
