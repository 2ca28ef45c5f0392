// What reaches a sound server's sink, read from its monitor:
//   sink-watch onset MONITOR COMMAND...  once the sink has been quiet for 300 ms, runs COMMAND
//                                        (a click that starts a sound) and prints the ms from its
//                                        start to the first loud sample on the sink
//   sink-watch gaps MONITOR SECONDS      waits for sound, then prints how many runs of digital
//                                        silence of 2 ms or more the next SECONDS held, and each
#include "bench/MonitorWatch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

int onset(MonitorWatch& watch, char** command) {
    if (!watch.wait_quiet(300ms, 20s))
        throw std::runtime_error("the sink never went quiet");
    watch.arm();
    auto start = MonitorWatch::Clock::now();
    pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::optional<MonitorWatch::Clock::time_point> heard = watch.wait(5s);
    if (!heard) {
        std::printf("none\n");
        return 1;
    }
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(*heard - start).count());
    return 0;
}

int gaps(MonitorWatch& watch, int seconds) {
    watch.arm();
    if (!watch.wait(30s))
        throw std::runtime_error("no sound on the sink");
    // The first second holds the start of the sounds, which may rise from silence.
    std::this_thread::sleep_for(1s);
    watch.count_silence(2.0);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::vector<double> runs = watch.silent_runs();
    std::printf("%zu silent runs of 2 ms or more in %.0f s of sound", runs.size(),
                watch.counted_seconds());
    for (size_t i = 0; i < runs.size(); ++i)
        std::printf("%s%.1f", i == 0 ? ": " : ", ", runs[i]);
    std::printf("%s\n", runs.empty() ? "" : " ms");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[1], "onset") != 0 && std::strcmp(argv[1], "gaps") != 0)) {
        std::fprintf(stderr, "usage: sink-watch onset MONITOR COMMAND...\n"
                             "       sink-watch gaps MONITOR SECONDS\n");
        return 2;
    }
    try {
        MonitorWatch watch(argv[2]);
        if (std::strcmp(argv[1], "onset") == 0)
            return onset(watch, argv + 3);
        return gaps(watch, std::stoi(argv[3]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sink-watch: %s\n", e.what());
        return 1;
    }
}
