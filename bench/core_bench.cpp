// Row access and rectangle copies over a 4000 x 3000 24-bit picture, beside
// memcpy of the same bytes (the floor any row copy can reach).
#include "imaging/imaging.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

imaging::Bitmap& picture() {
    static imaging::Bitmap b = [] {
        imaging::Bitmap p;
        imaging::initialize(p, kWidth, kHeight, 24);
        imaging::allocate(p);
        for (size_t i = 0; i < p.byteCount(); ++i) p.pixels[i] = uint8_t(i * 7);
        return p;
    }();
    return b;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * picture().byteCount());
}

void BM_MemcpyRows(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    std::vector<uint8_t> row(size_t(b.bytesPerLine));
    for (auto _ : state) {
        for (int y = 0; y < b.height; ++y) std::memcpy(row.data(), b.storedRow(y), row.size());
        benchmark::DoNotOptimize(row.data());
    }
    setBytes(state);
}

void BM_GetRow(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    std::vector<uint8_t> row(size_t(b.bytesPerLine));
    for (auto _ : state) {
        for (int y = 0; y < b.height; ++y) imaging::getRow(b, row.data(), y, int(row.size()));
        benchmark::DoNotOptimize(row.data());
    }
    setBytes(state);
}

void BM_PutRow(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    std::vector<uint8_t> row(size_t(b.bytesPerLine), 0x55);
    for (auto _ : state) {
        for (int y = 0; y < b.height; ++y) imaging::putRow(b, row.data(), y, int(row.size()));
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_MemcpyRowsIn(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    std::vector<uint8_t> row(size_t(b.bytesPerLine), 0x55);
    for (auto _ : state) {
        for (int y = 0; y < b.height; ++y) std::memcpy(b.storedRow(y), row.data(), row.size());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

// A copy into fresh memory, as a new picture needs.
void BM_MemcpyPicture(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    for (auto _ : state) {
        auto* copy = static_cast<uint8_t*>(std::malloc(b.byteCount()));
        std::memcpy(copy, b.pixels.get(), b.byteCount());
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    setBytes(state);
}

void BM_MemcpyInPlace(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    std::vector<uint8_t> copy(b.byteCount());
    for (auto _ : state) {
        std::memcpy(copy.data(), b.pixels.get(), copy.size());
        benchmark::DoNotOptimize(copy.data());
    }
    setBytes(state);
}

void BM_CopyRectWhole(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    for (auto _ : state) {
        imaging::Bitmap part;
        imaging::copyRect(part, b, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(part.pixels.get());
    }
    setBytes(state);
}

void BM_CombineCopyWhole(benchmark::State& state) {
    imaging::Bitmap& b = picture();
    imaging::Bitmap target;
    imaging::copy(target, b);
    for (auto _ : state) {
        imaging::combine(target, 0, 0, kWidth, kHeight, b, 0, 0, imaging::kOpCopy);
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

}  // namespace

BENCHMARK(BM_MemcpyRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyRowsIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PutRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyRectWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CombineCopyWhole)->Unit(benchmark::kMillisecond);
