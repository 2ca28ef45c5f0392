#include "app/Program.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/resources/ProgramLocation.h"
#include "platform/sdl/SdlBackend.h"

#include <filesystem>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

int main(int, char** argv) {
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
    std::vector<int32_t> scene{183, 181, 185, 184};
    for (int32_t id = 168; id <= 179; ++id)
        scene.push_back(id);
    pictures->fit_to_screen({183});
    pictures->prefetch_pictures(scene, 2);

    std::unique_ptr<platform::SdlBackend> backend;
    try {
        backend = std::make_unique<platform::SdlBackend>();
    } catch (const platform::BackendError& e) {
        std::cerr << "quorvane: " << e.what() << std::endl;
        return 1;
    }
    platform::Surface screen = backend->screen();
    pictures->set_screen_size(screen.width, screen.height);
    return app::main_routine(*backend, pictures);
}
