#pragma once

#include <cstddef>
#include <functional>

namespace loggrevy {

// Runs work(i) for every i below count on up to jobs threads, the calling
// thread among them, and calls finish(i) on the calling thread strictly in
// order 0, 1, ... as soon as work(0..i) are done. At most ahead tasks are
// started and not yet finished at any time, which bounds what results
// waiting for their turn hold in memory. An exception of work(i) is thrown from here when
// i's turn comes; the other threads are stopped first. jobs <= 1 runs
// work(i) and finish(i) alternately on the calling thread alone.
void RunInOrder(std::size_t count, std::size_t jobs, std::size_t ahead, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish);

// Runs work(begin, end) over slices of [0, count) that together cover it, on
// up to jobs threads, the calling thread among them; returns when all are
// done. There are a few slices per thread, so that one slow slice leaves the
// others free to take the rest.
void RunSlices(std::size_t count, std::size_t jobs, const std::function<void(std::size_t, std::size_t)>& work);

}  // namespace loggrevy
