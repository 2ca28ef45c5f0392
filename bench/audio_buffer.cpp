// One row of the mixer buffer table: opens the mixer with the given buffer at the given rate (0:
// the output's own), measures the delay from Play to the first sample on the sound server's sink
// (recorded from its monitor), then plays the program's four sounds looped for a while and
// reports the CPU that this process and the sound server (the sum of its processes) used
// meanwhile, in per cent of one core.
//   audio-buffer FRAMES RATE SECONDS SERVER_PID[,PID...] MONITOR MEDIA_DIR
#include "bench/MonitorWatch.h"
#include "platform/native/MixerAudioDevice.h"
#include "platform/sound/WavDecoder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = MonitorWatch::Clock;
constexpr int kRate = MonitorWatch::kRate;

double process_cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double process_cpu_seconds(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

double server_cpu_seconds(const std::string& pids) {
    double total = 0;
    std::istringstream list(pids);
    for (std::string pid; std::getline(list, pid, ',');)
        total += process_cpu_seconds(pid);
    return total;
}

std::shared_ptr<platform::PcmSound> load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    std::string error;
    std::optional<platform::PcmSound> pcm = platform::WavDecoder::decode(bytes, error);
    if (!pcm)
        throw std::runtime_error(path + ": " + error);
    return std::make_shared<platform::PcmSound>(std::move(*pcm));
}

std::shared_ptr<platform::PcmSound> onset_tone() {
    auto tone = std::make_shared<platform::PcmSound>();
    tone->rate = kRate;
    tone->channels = 2;
    for (int i = 0; i < kRate / 5; ++i) {
        auto v = static_cast<int16_t>(i % 100 < 50 ? 12000 : -12000);
        tone->samples.push_back(v);
        tone->samples.push_back(v);
    }
    return tone;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(
            stderr,
            "usage: audio-buffer FRAMES RATE SECONDS SERVER_PID[,PID...] MONITOR MEDIA_DIR\n");
        return 2;
    }
    const int frames = std::stoi(argv[1]);
    const int rate = std::stoi(argv[2]);
    const int seconds = std::stoi(argv[3]);
    const std::string server_pid = argv[4], monitor = argv[5], media = argv[6];
    try {
        platform::MixerAudioDevice device(frames, rate);
        std::vector<double> latencies;
        {
            MonitorWatch watch(monitor);
            auto tone = device.add_voice(onset_tone(), "onset");
            std::mt19937 random(1);
            std::uniform_int_distribution<int> phase(0, frames * 1000 / kRate);
            for (int trial = 0; trial < 25; ++trial) {
                device.stop(tone);
                // Lets the last tone drain, then lands at a new point of the mixer's cycle.
                std::this_thread::sleep_for(std::chrono::milliseconds(400 + phase(random)));
                watch.arm();
                auto start = Clock::now();
                device.play(tone, false);
                if (auto heard = watch.wait(std::chrono::seconds(1)))
                    latencies.push_back(
                        std::chrono::duration<double, std::milli>(*heard - start).count());
            }
            device.stop(tone);
            device.remove_voice(tone);
        }
        for (const char* id : {"168", "169", "170", "171"})
            device.play(device.add_voice(load(media + "/sounds/" + id + ".wav"), id), true);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        double self0 = process_cpu_seconds(), server0 = server_cpu_seconds(server_pid);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        double self1 = process_cpu_seconds(), server1 = server_cpu_seconds(server_pid);
        double worst =
            latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
        std::printf("%6d  %6d  %6.1f  %9.1f  %9.1f  %5zu/25  %8.2f  %8.2f\n", frames, device.rate(),
                    frames * 1000.0 / device.rate(), median(latencies), worst, latencies.size(),
                    100.0 * (self1 - self0) / seconds, 100.0 * (server1 - server0) / seconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "audio-buffer: %s\n", e.what());
        return 1;
    }
    return 0;
}
