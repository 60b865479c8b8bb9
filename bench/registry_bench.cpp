// Settings store throughput: cached reads and single-value writes on a store of
// 10,000 values, each beside a reference (a full parse of the file per read; a bare
// write-fsync-rename of the same bytes per write).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "vutil/platform/settings.h"
#include "vutil/system/registry_utils.h"

namespace {

constexpr int kKeys = 100;
constexpr int kValuesPerKey = 100;

std::string StoreText() {
    std::string t = "Windows Registry Editor Version 5.00\r\n";
    for (int k = 0; k < kKeys; ++k) {
        t += "\r\n[HKEY_CURRENT_USER\\Software\\Bench\\Key" + std::to_string(k) + "]\r\n";
        for (int v = 0; v < kValuesPerKey; ++v)
            t += "\"Value" + std::to_string(v) + "\"=\"some setting text " + std::to_string(k * kValuesPerKey + v) + "\"\r\n";
    }
    return t;
}

struct Store {
    std::filesystem::path dir;
    std::string text;
    Store() {
        dir = std::filesystem::temp_directory_path() / ("vutil-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        setenv("VUTIL_REGISTRY", (dir / "registry.reg").c_str(), 1);
        text = StoreText();
        std::ofstream(dir / "registry.reg", std::ios::binary) << text;
    }
    ~Store() { std::filesystem::remove_all(dir); }
};

Store& TheStore() {
    static Store s;
    return s;
}

vutil::CString KeyName(unsigned i) { return vutil::CString("Software\\Bench\\Key" + std::to_string(i % kKeys)); }
vutil::CString ValueName(unsigned i) { return vutil::CString("Value" + std::to_string((i / kKeys) % kValuesPerKey)); }

void BM_GetKeyValue(benchmark::State& state) {
    TheStore();
    unsigned i = 0;
    for (auto _ : state) {
        vutil::CString v = vutil::CRegistryUtils::GetKeyValue(vutil::HKEY_CURRENT_USER, KeyName(i), ValueName(i), false);
        if (v.IsEmpty()) state.SkipWithError("value missing");
        benchmark::DoNotOptimize(v);
        i = i * 1103515245u + 12345u;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetKeyValue)->Iterations(100000);

// Reference: what each read would cost if it parsed the file.
void BM_ParseWholeStoreReference(benchmark::State& state) {
    const std::string& text = TheStore().text;
    for (auto _ : state) benchmark::DoNotOptimize(vutil::platform::SettingsParseForTesting(text, nullptr));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseWholeStoreReference)->Iterations(200);

void BM_CreateKeyAndValue(benchmark::State& state) {
    TheStore();
    unsigned i = 0;
    for (auto _ : state) {
        if (!vutil::CRegistryUtils::CreateKeyAndValue(vutil::HKEY_CURRENT_USER, KeyName(i), ValueName(i),
                                                      vutil::CString("changed " + std::to_string(i)), false))
            state.SkipWithError("write failed");
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CreateKeyAndValue)->Iterations(1000);

// Reference: the bare file work of one write (same size, fsync, rename), no parsing.
void BM_RewriteFileReference(benchmark::State& state) {
    const std::string& text = TheStore().text;
    std::string tmp = (TheStore().dir / "ref.tmp").string();
    std::string dst = (TheStore().dir / "ref.reg").string();
    for (auto _ : state) {
        int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
        std::rename(tmp.c_str(), dst.c_str());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RewriteFileReference)->Iterations(1000);

}  // namespace

BENCHMARK_MAIN();
