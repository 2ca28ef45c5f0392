#pragma once

#include <exception>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace platform {

// Where a failure that escapes a handler goes: it ends that handler only, and is reported once on
// stderr naming it ("Window1.Canvas2_MouseUp failed: ..."); a handler that fails again and again
// is counted rather than repeated. The loop, the dispatcher and the windows run every handler
// through guard().
class FailureLog {
public:
    FailureLog();

    // Runs action; a failure that escapes it ends the action only: it is reported, naming the
    // handler, and false is returned. name is a string or a function that makes one (so that
    // the common path builds no string).
    template <class Name, class Action>
    bool guard(Name&& name, Action&& action) {
        try {
            action();
            return true;
        } catch (const std::exception& e) {
            report(failed_handler(describe(name)), e.what());
        } catch (...) {
            report(failed_handler(describe(name)), "unknown failure");
        }
        return false;
    }
    // A handler raised from inside another (a slider's ValueChanged from its press) names
    // itself here as a failure passes through, so that the report names where it happened.
    void note_origin(const std::string& handler) {
        if (m_origin.empty())
            m_origin = handler;
    }
    void report(const std::string& handler, const std::string& what);

    struct Record {
        std::string handler;
        std::string what;
        long count = 0;
    };
    const std::vector<Record>& records() const { return m_records; }
    long count() const { return m_count; }
    // Where reports go; stderr unless told otherwise, nowhere with null.
    void set_stream(std::ostream* stream) { m_stream = stream; }

private:
    std::string failed_handler(const std::string& guarded);
    static std::string describe(const std::string& s) { return s; }
    static std::string describe(const char* s) { return s; }
    template <class F>
    requires std::is_invocable_r_v<std::string, F>
    static std::string describe(F& f) { return f(); }

    std::string m_origin;
    std::vector<Record> m_records;
    long m_count = 0;
    std::ostream* m_stream;
};

} // namespace platform
