#pragma once
// The median wall time of a piece of work, as every benchmark here measures it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace corv::bench {

// The median of `runs` calls of `work`, in milliseconds. What `work` returns is summed, so
// that the compiler cannot leave the work out; a sum of 0 is said, as it measured nothing.
inline double MedianMilliseconds(int runs, const std::function<size_t()>& work) {
    std::vector<double> times;
    size_t sink = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        sink += work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (sink == 0) std::puts("(nothing measured)");
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace corv::bench
