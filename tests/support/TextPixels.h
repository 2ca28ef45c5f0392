#pragma once

#include "platform/base/Color.h"
#include "platform/base/Rect.h"
#include "platform/headless/HeadlessBackend.h"

#include <cstdlib>
#include <optional>

namespace testing_support {

// The rightmost screen pixel within r drawn in text of the colour (anti-aliased edges count
// where they are mostly that colour), or nothing: where a word ends.
inline std::optional<platform::Point> last_text_pixel(const platform::HeadlessBackend& backend,
                                                      const platform::Rect& r,
                                                      platform::Color text) {
    for (int x = r.right() - 1; x >= r.x; --x)
        for (int y = r.y; y < r.bottom(); ++y) {
            platform::Color c = platform::Color::from_pixel(backend.pixel(x, y));
            if (std::abs(c.r - text.r) < 100 && std::abs(c.g - text.g) < 100 &&
                std::abs(c.b - text.b) < 100)
                return platform::Point{x, y};
        }
    return std::nullopt;
}

} // namespace testing_support
