#include "model/ordered_work.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace loggrevy {
namespace {

class TOrderedWork {
 public:
  TOrderedWork(std::size_t count, std::size_t ahead, const std::function<void(std::size_t)>& work)
      : Count_(count), Ahead_(std::max<std::size_t>(ahead, 1)), Work_(work), Done_(count), Failures_(count) {}

  // Takes tasks until none is left or the work is stopped.
  void Help() {
    std::unique_lock lock(Mutex_);
    for (;;) {
      Changed_.wait(lock, [this] { return Stopped_ || Next_ >= Count_ || Next_ - Finished_ < Ahead_; });
      if (Stopped_ || Next_ >= Count_) return;
      RunOne(lock);
    }
  }

  // Waits until task i is done, doing other tasks meanwhile; throws what
  // task i threw.
  void AwaitTask(std::size_t i) {
    std::unique_lock lock(Mutex_);
    while (!Done_[i]) {
      if (Next_ < Count_ && Next_ - Finished_ < Ahead_) {
        RunOne(lock);
      } else {
        Changed_.wait(lock);
      }
    }
    if (Failures_[i]) std::rethrow_exception(Failures_[i]);
  }

  void Finished(std::size_t i) {
    {
      std::lock_guard lock(Mutex_);
      Finished_ = i + 1;
    }
    Changed_.notify_all();
  }

  void Stop() {
    {
      std::lock_guard lock(Mutex_);
      Stopped_ = true;
    }
    Changed_.notify_all();
  }

 private:
  void RunOne(std::unique_lock<std::mutex>& lock) {
    const std::size_t i = Next_++;
    lock.unlock();
    std::exception_ptr failure;
    try {
      Work_(i);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    Done_[i] = true;
    Failures_[i] = failure;
    Changed_.notify_all();
  }

  const std::size_t Count_;
  const std::size_t Ahead_;
  const std::function<void(std::size_t)>& Work_;
  std::mutex Mutex_;
  std::condition_variable Changed_;
  std::size_t Next_ = 0;      // the next task to start
  std::size_t Finished_ = 0;  // tasks finished, in order
  bool Stopped_ = false;
  std::vector<bool> Done_;
  std::vector<std::exception_ptr> Failures_;
};

}  // namespace

void RunInOrder(std::size_t count, std::size_t jobs, std::size_t ahead, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish) {
  if (jobs <= 1 || count <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      work(i);
      finish(i);
    }
    return;
  }
  TOrderedWork tasks(count, ahead, work);
  std::vector<std::jthread> helpers;
  // The threads are joined before the tasks go, also when finish throws.
  struct TStopper {
    TOrderedWork& Tasks;
    std::vector<std::jthread>& Helpers;
    ~TStopper() {
      Tasks.Stop();
      Helpers.clear();
    }
  } stopper{tasks, helpers};
  const std::size_t threads = std::min(jobs, count) - 1;
  helpers.reserve(threads);
  for (std::size_t t = 0; t < threads; ++t) helpers.emplace_back([&tasks] { tasks.Help(); });
  for (std::size_t i = 0; i < count; ++i) {
    tasks.AwaitTask(i);
    finish(i);
    tasks.Finished(i);
  }
}

void RunSlices(std::size_t count, std::size_t jobs, const std::function<void(std::size_t, std::size_t)>& work) {
  if (count == 0) return;
  const std::size_t slices = jobs <= 1 ? 1 : std::min(count, jobs * 8);
  RunInOrder(
      slices, jobs, slices, [&](std::size_t i) { work(count * i / slices, count * (i + 1) / slices); },
      [](std::size_t) {});
}

}  // namespace loggrevy
