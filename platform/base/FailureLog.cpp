#include "platform/base/FailureLog.h"

#include <iostream>
#include <utility>

namespace platform {

namespace {

bool is_power_of_ten(long n) {
    while (n >= 10 && n % 10 == 0)
        n /= 10;
    return n == 1;
}

} // namespace

FailureLog::FailureLog() : m_stream(&std::cerr) {
}

std::string FailureLog::failed_handler(const std::string& guarded) {
    std::string origin = std::exchange(m_origin, {});
    if (origin.empty() || origin == guarded)
        return guarded;
    return origin + " (in " + guarded + ")";
}

void FailureLog::report(const std::string& handler, const std::string& what) {
    ++m_count;
    for (Record& r : m_records) {
        if (r.handler != handler || r.what != what)
            continue;
        ++r.count;
        // A handler that fails on every timer tick would flood the log; repeats are counted
        // and mentioned at each power of ten.
        if (m_stream && is_power_of_ten(r.count))
            *m_stream << "quorvane: " << handler << " failed again (" << r.count
                      << " times): " << what << std::endl;
        return;
    }
    m_records.push_back({handler, what, 1});
    if (m_stream)
        *m_stream << "quorvane: " << handler << " failed: " << what << std::endl;
}

} // namespace platform
