// The threads that answer requests needing the scores.
#include "answer_workers.h"

namespace ludora::site {

AnswerWorkers::AnswerWorkers(int threads) {
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

AnswerWorkers::~AnswerWorkers() {
    finish();
}

bool AnswerWorkers::post(const std::function<void()>& before, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (finishing_) return false;
        before();
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
    return true;
}

void AnswerWorkers::finish() {
    {
        std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
}

void AnswerWorkers::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return finishing_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace ludora::site
