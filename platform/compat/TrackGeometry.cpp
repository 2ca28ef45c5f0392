#include "platform/compat/TrackGeometry.h"

#include "platform/compat/Functions.h"

#include <algorithm>

namespace platform {

int32_t TrackGeometry::value_at(int coord) const {
    int len = travel();
    if (len <= 0)
        return start_value();
    double pos = static_cast<double>(coord) - half();
    double v = pos / len * (static_cast<double>(maximum) - minimum) + minimum;
    // In this order, so that a range given upside down still yields one of its ends.
    if (v < minimum)
        v = minimum;
    if (v > maximum)
        v = maximum;
    if (reversed)
        v = static_cast<double>(minimum) + maximum - v;
    return Round(v);
}

int TrackGeometry::thumb_offset(int32_t value) const {
    int len = travel();
    double span = static_cast<double>(maximum) - minimum;
    if (len <= 0 || span == 0)
        return 0;
    double f = (static_cast<double>(value) - minimum) / span;
    if (reversed)
        f = 1 - f;
    return Round(std::clamp(f, 0.0, 1.0) * len);
}

} // namespace platform
