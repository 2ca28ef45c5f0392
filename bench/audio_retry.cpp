// The cost of waiting for a sound server that is not there: the program's sounds on a
// ReconnectingAudioDevice over the real mixer, a loop playing, serviced whenever it asks to be,
// as a backend's wait does. It runs for SECONDS from the first moment it has no output (at once
// when there is no server to begin with; else from when the server goes away, which the caller
// arranges), then prints its CPU in % of one core, how many times it tried to open the device,
// and whether it had sound at the end. Its lines about sound go to stderr.
//   audio-retry SECONDS
#include "platform/native/MixerAudioDevice.h"
#include "platform/sound/ReconnectingAudioDevice.h"

#include <SDL.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

platform::Micros now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: audio-retry SECONDS\n");
        return 2;
    }
    const int seconds = std::stoi(argv[1]);
    SDL_Init(SDL_INIT_EVENTS);
    int attempts = 0;
    platform::ReconnectingAudioDevice device(
        now,
        [&] {
            ++attempts;
            return std::make_unique<platform::MixerAudioDevice>();
        },
        std::cerr);
    auto pcm = std::make_shared<platform::PcmSound>();
    pcm->samples.assign(44100 * 2, 0);
    device.play(device.add_voice(pcm, "loop"), true);
    // The device hears of its loss through SDL's events, as the real backend's wait does.
    while (device.is_open()) {
        SDL_Event event;
        SDL_WaitEventTimeout(&event, 100);
        device.service();
    }
    const int attempts_before = attempts;
    const double cpu0 = cpu_seconds();
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        auto wake =
            std::min(Clock::time_point(std::chrono::microseconds(*device.next_wakeup())), end);
        std::this_thread::sleep_until(wake);
        device.service();
        if (device.is_open())
            break;
    }
    std::printf("waited %d s: %.3f %% of a core, %d attempts, sound %s\n", seconds,
                100.0 * (cpu_seconds() - cpu0) / seconds, attempts - attempts_before,
                device.is_open() ? "back" : "still away");
    SDL_Quit();
    return 0;
}
