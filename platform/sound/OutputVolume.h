#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// The desktop's default output volume.
class OutputVolume {
public:
    struct Reading {
        // 0 (silence) to 255: the output's volume as a share of its normal full volume, the
        // loudest channel counting; amplified beyond that still reads 255.
        uint8_t level = 0;
        bool muted = false;
        friend bool operator==(const Reading&, const Reading&) = default;
    };
    using Watcher = std::function<void()>;

    virtual ~OutputVolume() = default;
    // left and right run from 0 (silence) to 255 (full volume). A level above 0 also unmutes
    // the output, as the desktop's own volume controls do.
    virtual void set(uint8_t left, uint8_t right) = 0;
    // The volume as it is, without changing it; nothing where it cannot be read.
    virtual std::optional<Reading> read() = 0;

    // Runs watcher on the main thread after every change of the volume made outside this
    // program, for as long as the returned handle is kept. The backend hands the loop a change
    // as an input event, and the loop calls report_change.
    std::shared_ptr<Watcher> watch(Watcher watcher);
    void report_change();

private:
    std::vector<std::weak_ptr<Watcher>> m_watchers;
};

} // namespace platform
