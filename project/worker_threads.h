#pragma once
// The one place that starts threads, so that a platform without them has a file of its own:
// worker_threads.cpp starts them, worker_threads_browser.cpp (a page has no threads unless its
// server isolates it) runs the work on the calling thread alone.

#include <cstddef>
#include <functional>

namespace corv::project {

// Runs `work` on up to `threads` threads at once, the calling thread being one of them, and
// returns when every run has returned. `work` may run only once, so each run must go on until
// nothing is left to do (taking the next job from a shared counter, as ParallelFor does).
void RunOnThreads(size_t threads, const std::function<void()>& work);

}  // namespace corv::project
