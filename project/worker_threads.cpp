#include "project/worker_threads.h"

#include <thread>
#include <vector>

namespace corv::project {

void RunOnThreads(size_t threads, const std::function<void()>& work) {
    std::vector<std::jthread> pool;  // joined when it goes, also when the calling thread's run throws
    pool.reserve(threads > 0 ? threads - 1 : 0);
    for (size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
}

}  // namespace corv::project
