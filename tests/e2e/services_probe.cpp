// Drives the desktop services of the real backend from commands on stdin, one per line, and
// answers each on stdout, so that a script can check their effects on a real sound server:
//   tone NAME SECONDS HZ    make a stereo sine tone (a whole number of cycles loops seamlessly)
//   load NAME FILE          decode a WAV file
//   play NAME | loop NAME | stop NAME | playing NAME (answers true or false)
//   beep | volume LEFT RIGHT | url ADDRESS | quit
//   read (the output volume: "LEVEL muted", "LEVEL on", or "none")
//   changed MS (waits up to MS ms for the backend to tell of a volume change made elsewhere:
//   "changed", or "none")
//   obscure (the ObscureCursorMBS plug-in) | show (System.Cursors.Show) | pump (handle the
//   display's pending events, as the event loop would)
// Every answer but that of playing is "ok", or "error: ..." for a command it cannot follow.
// With --analyse FILE it reads raw stereo 16-bit samples instead and prints the quietest and
// mean loudness of 10 ms windows and the largest step between two neighbouring samples, for
// telling gaps and clicks apart from a steady tone.
#include "platform/Runtime.h"
#include "platform/compat/BuiltInPlugins.h"
#include "platform/compat/Functions.h"
#include "platform/compat/MemoryBlock.h"
#include "platform/compat/SoundManager.h"
#include "platform/compat/System.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/sound/Sound.h"
#include "platform/sound/WavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <numbers>
#include <sstream>
#include <vector>

namespace {

using platform::PcmSound;

PcmSound sine(double seconds, double hz) {
    PcmSound pcm;
    pcm.rate = 44100;
    pcm.channels = 2;
    auto frames = static_cast<long>(std::lround(seconds * pcm.rate));
    for (long i = 0; i < frames; ++i) {
        auto v = static_cast<int16_t>(
            std::lround(16000 * std::sin(2 * std::numbers::pi * hz * double(i) / pcm.rate)));
        pcm.samples.push_back(v);
        pcm.samples.push_back(v);
    }
    return pcm;
}

int analyse(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    const size_t window = 441 * 2; // 10 ms of stereo at 44.1 kHz
    if (samples.size() < window) {
        std::cout << "windows 0" << std::endl;
        return 1;
    }
    double quietest = 1e9, total = 0;
    size_t windows = 0;
    for (size_t start = 0; start + window <= samples.size(); start += window, ++windows) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += double(samples[i]) * samples[i];
        double rms = std::sqrt(sum / window) / 32768.0;
        quietest = std::min(quietest, rms);
        total += rms;
    }
    int step = 0;
    for (size_t i = 2; i < samples.size(); ++i)
        step = std::max(step, std::abs(samples[i] - samples[i - 2]));
    std::cout << "windows " << windows << " quietest " << quietest << " mean " << total / windows
              << " step " << step / 32768.0 << std::endl;
    return 0;
}

class Probe {
public:
    explicit Probe(platform::EventSource& events) : m_events(events) {}

    std::string run(const std::string& line) {
        std::istringstream in(line);
        std::string command, name;
        in >> command;
        if (command == "tone") {
            double seconds = 0, hz = 0;
            in >> name >> seconds >> hz;
            m_sounds[name] = platform::make_ref<platform::Sound>(
                std::make_shared<PcmSound>(sine(seconds, hz)), name);
        } else if (command == "load") {
            std::string path, error;
            in >> name >> path;
            std::ifstream file(path, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
            std::optional<PcmSound> pcm = platform::WavDecoder::decode(bytes, error);
            if (!pcm)
                return "error: " + error;
            m_sounds[name] = platform::make_ref<platform::Sound>(
                std::make_shared<PcmSound>(std::move(*pcm)), name);
        } else if (command == "play" || command == "loop" || command == "stop" ||
                   command == "playing") {
            in >> name;
            auto it = m_sounds.find(name);
            if (it == m_sounds.end())
                return "error: no sound " + name;
            platform::Sound& sound = *it->second;
            if (command == "play")
                sound.Play();
            else if (command == "loop")
                sound.PlayLooping();
            else if (command == "stop")
                sound.Stop();
            else
                return sound.IsPlaying() ? "true" : "false";
        } else if (command == "beep") {
            platform::Beep();
        } else if (command == "volume") {
            int left = 0, right = 0;
            in >> left >> right;
            // Laid out as the loudness window does it.
            platform::MemoryBlock level(4);
            level.Short(0, static_cast<int16_t>(left));
            level.Short(2, static_cast<int16_t>(right));
            platform::SetDefaultOutputVolume(level.Long(0));
        } else if (command == "read") {
            std::optional<platform::OutputVolume::Reading> now = platform::GetDefaultOutputVolume();
            if (!now)
                return "none";
            return std::to_string(now->level) + (now->muted ? " muted" : " on");
        } else if (command == "changed") {
            int ms = 0;
            in >> ms;
            return changed_within(ms) ? "changed" : "none";
        } else if (command == "url") {
            std::string address;
            std::getline(in >> std::ws, address);
            platform::ShowURL(address);
        } else if (command == "obscure") {
            platform::RuntimeLookupPluginEntrypoint("ObscureCursorMBS")();
        } else if (command == "show") {
            platform::System::Cursors::Show();
        } else if (command == "pump") {
            while (m_events.poll_event()) {
            }
        } else {
            return "error: unknown command " + command;
        }
        return "ok";
    }

private:
    bool changed_within(int ms) {
        platform::Micros deadline = m_events.now() + ms * 1000;
        while (m_events.now() < deadline)
            if (auto event = m_events.wait_event(deadline);
                event && event->type == platform::InputEvent::Type::OutputVolumeChanged)
                return true;
        return false;
    }

    platform::EventSource& m_events;
    std::map<std::string, platform::Ref<platform::Sound>> m_sounds;
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--analyse")
        return analyse(argv[2]);
    std::unique_ptr<platform::SdlBackend> backend;
    try {
        backend = std::make_unique<platform::SdlBackend>();
    } catch (const platform::BackendError& e) {
        std::cerr << "services_probe: " << e.what() << std::endl;
        return 1;
    }
    {
        platform::Runtime runtime(*backend);
        Probe probe(*backend);
        std::cout << "ready" << std::endl;
        std::string line;
        while (std::getline(std::cin, line) && line != "quit")
            std::cout << probe.run(line) << std::endl;
    }
    return 0;
}
