// The Wayland backend alone, for a script to check against a real compositor. It prints the
// screen's size, then paints a row of squares, one present each, many of them faster than the
// compositor's frames, so that buffers are committed late, swapped and brought up to date on
// the way; "drawn" says the last one is presented and then the whole screen once more, which
// must then show every square in its colour. After that it prints what input reaches it, one
// line each:
//   move X Y | down X Y | up X Y | key K SHORTCUT(0 or 1) | exposed | quit (and it exits 0)
#include "platform/graphics/PixelOps.h"
#include "platform/wayland/WaylandBackend.h"

#include <iostream>
#include <memory>

namespace {

using platform::InputEvent;

constexpr int kSquares = 24;
constexpr int kSide = 40;
constexpr int kTop = 100;

// Red, green and blue in turn, so that a square left with its neighbour's colour shows.
uint32_t colour(int i) {
    static constexpr uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    return colours[i % 3];
}

void print(const InputEvent& e) {
    switch (e.type) {
    case InputEvent::Type::PointerMove:
        std::cout << "move " << e.x << " " << e.y << std::endl;
        break;
    case InputEvent::Type::PointerDown:
        std::cout << "down " << e.x << " " << e.y << std::endl;
        break;
    case InputEvent::Type::PointerUp:
        std::cout << "up " << e.x << " " << e.y << std::endl;
        break;
    case InputEvent::Type::KeyDown:
        std::cout << "key " << e.key << " " << e.shortcut_modifier << std::endl;
        break;
    case InputEvent::Type::Exposed:
        std::cout << "exposed" << std::endl;
        break;
    case InputEvent::Type::ScreenResized:
        std::cout << "resized" << std::endl;
        break;
    case InputEvent::Type::OutputVolumeChanged:
        std::cout << "volume" << std::endl;
        break;
    case InputEvent::Type::QuitRequest:
        std::cout << "quit" << std::endl;
        break;
    case InputEvent::Type::MediaKey:
        std::cout << "media " << e.key << std::endl;
        break;
    case InputEvent::Type::SourceReady:
        std::cout << "source " << e.x << std::endl;
        break;
    case InputEvent::Type::Seen:
        std::cout << "seen " << e.x << std::endl;
        break;
    }
}

} // namespace

int main() {
    std::unique_ptr<platform::WaylandBackend> backend;
    try {
        backend = std::make_unique<platform::WaylandBackend>();
    } catch (const platform::BackendError& e) {
        std::cerr << "wayland_probe: " << e.what() << std::endl;
        return 1;
    }
    platform::Surface screen = backend->screen();
    std::cout << "size " << screen.width << " " << screen.height << std::endl;
    platform::PixelOps::fill(screen, screen.bounds(), screen.bounds(), 0xFF404040u);
    backend->present(platform::Region(screen.bounds()));
    for (int i = 0; i < kSquares; ++i) {
        // Every fourth square waits long enough for the frame before it to be shown.
        platform::Micros pause = i % 4 == 3 ? 40'000 : 1'000;
        while (std::optional<InputEvent> e = backend->wait_event(backend->now() + pause))
            print(*e);
        platform::Surface s = backend->screen();
        platform::Rect square{20 + i * (kSide + 10), kTop, kSide, kSide};
        platform::PixelOps::fill(s, s.bounds(), square, colour(i));
        backend->present(platform::Region(square));
    }
    // The compositor keeps on its screen what it was shown before; all of it presented again
    // shows what the buffer shown last holds.
    backend->present(platform::Region(backend->screen().bounds()));
    std::cout << "drawn" << std::endl;
    for (;;) {
        std::optional<InputEvent> e = backend->wait_event(std::nullopt);
        if (!e)
            continue;
        print(*e);
        if (e->type == InputEvent::Type::QuitRequest)
            return 0;
    }
}
