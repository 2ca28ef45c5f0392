#include "app/CommandLine.h"
#include "app/Program.h"
#include "common/MediaItems.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/resources/ProgramLocation.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/wayland/WaylandBackend.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The session's own display: Wayland where a compositor answers, else X11 (XWayland included).
// Raises BackendError naming what each said.
std::unique_ptr<platform::Backend> open_backend() {
    std::string why;
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) {
        try {
            return std::make_unique<platform::WaylandBackend>();
        } catch (const platform::BackendError& e) {
            why = std::string("wayland: ") + e.what() + "; ";
        }
    }
    try {
        return std::make_unique<platform::SdlBackend>();
    } catch (const platform::BackendError& e) {
        throw platform::BackendError(why + "x11: " + e.what());
    }
}

// Becomes the one instance on this display (held then holds the lock), or brings the one there
// is forward and returns the status this start ends with. Where the session offers no place for
// a lock the program runs as it would otherwise.
std::optional<int> claim_instance(std::unique_ptr<platform::SingleInstance>& held) {
    using namespace std::chrono_literals;
    using platform::SingleInstance;
    std::optional<SingleInstance::Place> place = SingleInstance::from_environment();
    if (!place)
        return std::nullopt;
    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    // The holder may be starting (not listening yet) or ending (its lock about to go): both
    // settle within moments, so both are tried again until one of them holds.
    auto deadline = std::chrono::steady_clock::now() + 2s;
    for (;;) {
        SingleInstance::Taken taken = SingleInstance::take(*place);
        if (taken.instance) {
            held = std::move(taken.instance);
            return std::nullopt;
        }
        if (!taken.held_elsewhere) {
            std::cerr << "quorvane: running without the one-instance lock: " << taken.problem
                      << std::endl;
            return std::nullopt;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (SingleInstance::ask_to_raise(*place, token ? token : "", std::max(left, 1ms)))
            return 0;
        if (std::chrono::steady_clock::now() >= deadline) {
            std::cerr << "quorvane: another Quorvane runs on this display but does not answer"
                      << std::endl;
            return 1;
        }
        std::this_thread::sleep_for(20ms);
    }
}

} // namespace

int main(int argc, char** argv) {
    app::CommandLine line = app::CommandLine::parse(argc, argv);
    if (line.action() != app::CommandLine::Action::Run)
        return line.answer(std::cout, std::cerr);
    std::unique_ptr<platform::SingleInstance> instance;
    if (std::optional<int> status = claim_instance(instance))
        return *status;

    // Pictures, sounds and their file buffers are megabytes each, allocated and freed rarely.
    // Each goes straight to the system and back: left to itself, malloc starts keeping blocks
    // that size in its heap once one is freed, and a buffer freed there leaves a hole the size
    // of a sound that stays resident.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    fs::path executable = platform::ProgramLocation::executable(argv[0]);
    std::optional<fs::path> media = platform::FolderResourceFork::locate(executable);
    if (!media) {
        std::cerr << "quorvane: cannot find the pictures and sounds; looked in";
        for (const fs::path& place : platform::FolderResourceFork::candidates(executable))
            std::cerr << " " << place.lexically_normal().string();
        std::cerr << std::endl;
        return 1;
    }
    auto pictures = platform::make_ref<platform::FolderResourceFork>(*media);
    // The scene asks for the backdrop, then the speaker and stars, then the dome frames while
    // it opens; decoding them meanwhile on both cores halves the time to the first frame. The
    // backdrop is drawn from the screen's top-left corner, so only the screen's part of it is
    // kept: its first rows are decoded whole while the display opens, then cut to the screen.
    using media_items::item;
    std::vector<int32_t> scene{item("bigsky").id, item("speaker2").id, item("star1b").id,
                               item("star1").id};
    for (std::string_view frame : media_items::kDomeFrames)
        scene.push_back(item(frame).id);
    pictures->fit_to_screen({item("bigsky").id});
    pictures->prefetch_pictures(scene, 2);

    std::unique_ptr<platform::Backend> backend;
    try {
        backend = open_backend();
    } catch (const platform::BackendError& e) {
        std::cerr << "quorvane: cannot open the display: " << e.what() << std::endl;
        return 1;
    }
    return app::main_routine(*backend, pictures,
                             {.instance = instance.get(),
                              .media_controls = true,
                              .hold_screen = true,
                              .hold_sleep = !line.night().allow_sleep},
                             line.night());
}
