// Archive throughput of SerializeData (a vector of one million short strings, a map
// of 100,000 entries) beside memcpy and fwrite of the same bytes, and AES-CBC beside
// `openssl speed -evp aes-128-cbc` when openssl is installed.
//
//   ./build/default/bench/bench_persist_bench

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "vutil/framework/archive.h"
#include "vutil/framework/file.h"
#include "vutil/persist/aes.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/serialize_data.h"

namespace {

using namespace vutil;

const std::vector<CString>& Strings() {
    static const std::vector<CString> v = [] {
        std::vector<CString> out;
        out.reserve(1000000);
        for (int i = 0; i < 1000000; ++i) {
            CString s;
            s.Format("item %d", i);
            out.push_back(std::move(s));
        }
        return out;
    }();
    return v;
}

const std::map<CString, int>& Map() {
    static const std::map<CString, int> m = [] {
        std::map<CString, int> out;
        for (int i = 0; i < 100000; ++i) {
            CString s;
            s.Format("key-%06d", i);
            out.emplace(s, i);
        }
        return out;
    }();
    return m;
}

template <typename T>
std::string StoreToString(T value) {
    CMemFile file(1 << 20);
    CArchive ar(&file, CArchive::store);
    SerializeData::Serialize(ar, value);
    ar.Close();
    return std::string(reinterpret_cast<const char*>(file.GetData()), static_cast<std::size_t>(file.GetLength()));
}

template <typename T>
void Store(benchmark::State& state, const T& source) {
    T value = source;
    std::size_t bytes = 0;
    for (auto _ : state) {
        CMemFile file(1 << 20);
        CArchive ar(&file, CArchive::store);
        SerializeData::Serialize(ar, value);
        ar.Close();
        bytes = static_cast<std::size_t>(file.GetLength());
        benchmark::DoNotOptimize(file.GetData());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

template <typename T>
void Load(benchmark::State& state, const T& source) {
    std::string stored = StoreToString(source);
    for (auto _ : state) {
        CMemFile file(reinterpret_cast<BYTE*>(stored.data()), static_cast<UINT>(stored.size()));
        CArchive ar(&file, CArchive::load);
        T value;
        SerializeData::Serialize(ar, value);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stored.size()));
}

// The same bytes with no encoding at all: the ceiling for the archive.
void Memcpy(benchmark::State& state, const std::string& stored) {
    std::vector<char> dest(stored.size());
    for (auto _ : state) {
        std::memcpy(dest.data(), stored.data(), stored.size());
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stored.size()));
}

void Fwrite(benchmark::State& state, const std::string& stored) {
    std::FILE* f = std::tmpfile();
    if (!f) {
        state.SkipWithError("no temporary file");
        return;
    }
    for (auto _ : state) {
        std::rewind(f);
        std::fwrite(stored.data(), 1, stored.size(), f);
        std::fflush(f);
    }
    std::fclose(f);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stored.size()));
}

void BM_VectorCString_Store(benchmark::State& s) { Store(s, Strings()); }
void BM_VectorCString_Load(benchmark::State& s) { Load(s, Strings()); }
void BM_VectorCString_Memcpy(benchmark::State& s) { Memcpy(s, StoreToString(Strings())); }
void BM_VectorCString_Fwrite(benchmark::State& s) { Fwrite(s, StoreToString(Strings())); }
void BM_MapCStringInt_Store(benchmark::State& s) { Store(s, Map()); }
void BM_MapCStringInt_Load(benchmark::State& s) { Load(s, Map()); }
void BM_MapCStringInt_Memcpy(benchmark::State& s) { Memcpy(s, StoreToString(Map())); }
void BM_MapCStringInt_Fwrite(benchmark::State& s) { Fwrite(s, StoreToString(Map())); }

BENCHMARK(BM_VectorCString_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorCString_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorCString_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorCString_Fwrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCStringInt_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCStringInt_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCStringInt_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCStringInt_Fwrite)->Unit(benchmark::kMillisecond);

// AES-CBC over 16 KiB blocks (openssl speed's largest default size); argument 0 is
// the portable code, 1 the AES instructions. Key lengths 16, 24, 32.
void AesCbc(benchmark::State& state, bool decrypt) {
    const bool hardware = state.range(0) != 0;
    if (hardware && !CAesCipher::HardwareAvailable()) {
        state.SkipWithError("no AES instructions");
        return;
    }
    CAesCipher::SetHardwareAllowed(hardware);
    std::vector<BYTE> key(static_cast<std::size_t>(state.range(1)), 0x5A), buf(16384, 0x11);
    CAesCipher aes;
    aes.MakeKey(key.data(), key.size());
    for (auto _ : state) {
        aes.ResetChain();
        if (decrypt) aes.DecryptCBC(buf.data(), buf.data(), buf.size());
        else aes.EncryptCBC(buf.data(), buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
    }
    CAesCipher::SetHardwareAllowed(true);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buf.size()));
}

void BM_AesCbc_Encrypt(benchmark::State& s) { AesCbc(s, false); }
void BM_AesCbc_Decrypt(benchmark::State& s) { AesCbc(s, true); }
BENCHMARK(BM_AesCbc_Encrypt)->ArgNames({"hw", "key"})->ArgsProduct({{0, 1}, {16, 32}});
BENCHMARK(BM_AesCbc_Decrypt)->ArgNames({"hw", "key"})->ArgsProduct({{0, 1}, {16, 32}});

// CCrypto's whole path for one short text: padding, CBC, the byte array.
void BM_CCrypto_EncryptShortText(benchmark::State& state) {
    CCrypto* crypto = CCrypto::GetInstance();
    CByteArray out;
    const CString text = "john.smith@example.com";
    for (auto _ : state) {
        crypto->Encrypt(text, out);
        benchmark::DoNotOptimize(out.GetData());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.GetLength()));
}
BENCHMARK(BM_CCrypto_EncryptShortText);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const char* command = "openssl speed -evp aes-128-cbc -seconds 1 -bytes 16384 2>/dev/null | tail -3";
    if (std::system("command -v openssl >/dev/null 2>&1") == 0) {
        std::printf("\nReference: %s\n", command);
        std::fflush(stdout);
        return std::system(command) == 0 ? 0 : 1;
    }
    std::printf("\nopenssl not found; compare with: %s\n", command);
    return 0;
}
