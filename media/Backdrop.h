#pragma once

#include "Image.h"

namespace media {

// The full-screen night sky behind everything: the plain gradient, thousands of stars, and a
// faint Milky Way that keeps below the dome's rows so that the dome frames meet it cleanly.
class Backdrop {
public:
    Image render() const;
};

} // namespace media
