#pragma once

#include <functional>
#include <string>

namespace bench {

struct Figure {
    double medianMs = 0;
    double peakMiB = 0; // growth of the resident set above what it was before the runs
};

// Runs work once to warm up, then `runs` times; the median wall time and the peak growth of
// the resident set over all runs.
Figure measure(int runs, const std::function<void()>& work);

} // namespace bench
