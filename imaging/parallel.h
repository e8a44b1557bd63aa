// Splitting independent rows over the machine's cores. Every row's result is
// computed from the input alone, so the picture is the same at any number of
// threads; small jobs stay on the calling thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace imaging {

// The most threads a role uses; 0 (the default) means one per core, at most 8.
// Tests set it to show that the result does not depend on it.
inline std::atomic<int>& threadLimit() {
    static std::atomic<int> limit{0};
    return limit;
}
inline int threadCount() {
    const int limit = threadLimit().load();
    const int cores = int(std::min<unsigned>(std::max(std::thread::hardware_concurrency(), 1u), 8u));
    return limit > 0 ? limit : cores;
}

// Calls work(first, last) on disjoint bands covering [0, count).
template <typename Work>
void forEachBand(int count, long long costPerItem, Work&& work) {
    const long long total = (long long)count * std::max(costPerItem, 1LL);
    int threads = threadCount();
    if (total < 200000) threads = 1;  // below ~0.1 ms a thread costs more than it saves
    threads = std::min(threads, std::max(count, 1));
    if (threads <= 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> pool;
    const int band = (count + threads - 1) / threads;
    for (int t = 1; t < threads; ++t) {
        const int first = t * band, last = std::min(count, first + band);
        if (first < last) pool.emplace_back([&work, first, last] { work(first, last); });
    }
    work(0, std::min(count, band));
    for (std::thread& thread : pool) thread.join();
}

}  // namespace imaging
