#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

// One run of a piece of work.
struct Sample {
    double wallMs = 0;
    double cpuMs = 0;   // CPU time of this process (user and system)
    double peakMiB = 0; // growth of the resident set above what it was before the run
};

// A figure beside its reference, measured in pairs: each pair runs both once, back to back,
// so that a pair sees the same load on the machine; the order within a pair alternates.
struct Paired {
    std::vector<Sample> subject;
    std::vector<Sample> reference;

    double wallRatio() const;
    double cpuRatio() const;
    // The least and the greatest ratio of a pair.
    std::pair<double, double> wallSpread() const;
    std::pair<double, double> cpuSpread() const;
    Sample subjectMedian() const;
    Sample referenceMedian() const;
};

// Runs work once, measuring it. What earlier runs freed is handed back to the system first,
// so that the peak shows what this run needs.
Sample once(const std::function<void()>& work);

// Warms both up once, then runs `pairs` pairs.
Paired pairs(int pairs, const std::function<void()>& subject,
             const std::function<void()>& reference);

} // namespace bench
