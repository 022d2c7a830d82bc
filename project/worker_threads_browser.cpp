#include "project/worker_threads.h"

namespace corv::project {

// A page gets threads only when its server sends the cross-origin isolation headers, which a
// static host may not; the calling thread does all the work instead.
void RunOnThreads(size_t /*threads*/, const std::function<void()>& work) { work(); }

}  // namespace corv::project
