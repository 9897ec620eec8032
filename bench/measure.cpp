#include "bench/measure.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <malloc.h>

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

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class Get> std::vector<double> each(const std::vector<Sample>& samples, Get get)
{
    std::vector<double> out;
    for (const Sample& s : samples)
        out.push_back(get(s));
    return out;
}

template <class Get> std::vector<double> ratios(const Paired& p, Get get)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < p.subject.size() && i < p.reference.size(); ++i)
        out.push_back(get(p.reference[i]) > 0 ? get(p.subject[i]) / get(p.reference[i]) : 0);
    return out;
}

std::pair<double, double> spread(const std::vector<double>& v)
{
    if (v.empty())
        return {0, 0};
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return {*lo, *hi};
}

Sample medianOf(const std::vector<Sample>& samples)
{
    Sample s;
    s.wallMs = median(each(samples, [](const Sample& x) { return x.wallMs; }));
    s.cpuMs = median(each(samples, [](const Sample& x) { return x.cpuMs; }));
    s.peakMiB = median(each(samples, [](const Sample& x) { return x.peakMiB; }));
    return s;
}

const auto wall = [](const Sample& s) { return s.wallMs; };
const auto cpu = [](const Sample& s) { return s.cpuMs; };

} // namespace

Sample once(const std::function<void()>& work)
{
    malloc_trim(0);
    resetPeak();
    const long base = statusKb("VmRSS:");
    const double c0 = cpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = cpuMs();
    Sample s;
    s.wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    s.cpuMs = c1 - c0;
    s.peakMiB = static_cast<double>(std::max(0L, statusKb("VmHWM:") - base)) / 1024.0;
    return s;
}

Paired pairs(int pairs, const std::function<void()>& subject,
             const std::function<void()>& reference)
{
    subject();
    reference();
    Paired p;
    for (int i = 0; i < pairs; ++i) {
        if (i % 2 == 0) {
            p.subject.push_back(once(subject));
            p.reference.push_back(once(reference));
        } else {
            p.reference.push_back(once(reference));
            p.subject.push_back(once(subject));
        }
    }
    return p;
}

double Paired::wallRatio() const
{
    return median(ratios(*this, wall));
}

double Paired::cpuRatio() const
{
    return median(ratios(*this, cpu));
}

std::pair<double, double> Paired::wallSpread() const
{
    return spread(ratios(*this, wall));
}

std::pair<double, double> Paired::cpuSpread() const
{
    return spread(ratios(*this, cpu));
}

Sample Paired::subjectMedian() const
{
    return medianOf(subject);
}

Sample Paired::referenceMedian() const
{
    return medianOf(reference);
}

} // namespace bench
