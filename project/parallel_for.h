#pragma once
// Runs work(i) for every i below `count` on up to `jobs` threads, each index exactly once, and
// returns when all are done. Results must go to slots of their own index, so the outcome does
// not depend on the number of threads. `makeWorker` gives each thread its own state.

#include <algorithm>
#include <atomic>
#include <cstddef>

#include "project/worker_threads.h"

namespace corv::project {

template <typename MakeWorker>
void ParallelFor(size_t count, unsigned jobs, MakeWorker makeWorker) {
    const size_t threads = std::clamp<size_t>(jobs, 1, std::max<size_t>(count, 1));
    std::atomic<size_t> next{0};
    const auto run = [&] {
        auto worker = makeWorker();
        for (size_t i = next++; i < count; i = next++) worker(i);
    };
    if (threads == 1) {
        run();
        return;
    }
    RunOnThreads(threads, run);
}

}  // namespace corv::project
