// The threads that answer requests needing the scores, so the threads that
// move bytes never wait for the database.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ludora::site {

class AnswerWorkers {
public:
    explicit AnswerWorkers(int threads);
    ~AnswerWorkers();
    AnswerWorkers(const AnswerWorkers&) = delete;
    AnswerWorkers& operator=(const AnswerWorkers&) = delete;

    // Calls before() and queues the job under the queue's lock, so no worker
    // starts the job before before() has returned. False, calling neither,
    // once the workers are finishing.
    bool post(const std::function<void()>& before, std::function<void()> job);

    // Runs the jobs already queued, then ends the threads.
    void finish();

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool finishing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace ludora::site
