#include "bench/measure.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <vector>

namespace bench {

namespace {

// Kilobytes of a line of /proc/self/status such as "VmHWM:".
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from now
}

} // namespace

Figure measure(int runs, const std::function<void()>& work)
{
    work();
    malloc_trim(0); // what the warm-up freed goes back, so the peak shows what a run needs
    resetPeak();
    const long base = statusKb("VmRSS:");
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    Figure f;
    f.medianMs = ms[ms.size() / 2];
    f.peakMiB = std::max(0L, statusKb("VmHWM:") - base) / 1024.0;
    return f;
}

} // namespace bench
