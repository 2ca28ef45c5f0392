#pragma once

#include "platform/graphics/Scale.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The scale a user asked the desktop for, where the display itself does not tell it (X11):
// QUORVANE_SCALE first (any factor, "1.5"), then GDK_SCALE (a whole factor, as GTK reads it),
// then the X resources' Xft.dpi (96 is 1, 144 is 1.5, 192 is 2), which GNOME, KDE and Xfce set
// for their scaling. Between 1 and 4; 1 where nothing says otherwise.
class DesktopScale {
public:
    static constexpr double kMaxFactor = 4.0;

    // environment reads a variable (null when unset); resources is the X resource database as
    // text, as the root window's RESOURCE_MANAGER holds it. A variable set to something that is
    // not a scale is said on stderr once and passed over.
    static Scale choose(const std::function<const char*(const char*)>& environment,
                        std::string_view resources);
    // The Xft.dpi resource's value; nothing where it is not set or not a number.
    static std::optional<double> xft_dpi(std::string_view resources);
};

} // namespace platform
