#include "volume/SuperSlider.h"

#include "platform/compat/System.h"
#include "platform/compat/ThemeTrack.h"
#include "platform/compat/ThemeTrackDrawInfo.h"
#include "platform/compat/TrackGeometry.h"
#include "platform/graphics/Graphics.h"

#include <cstddef>

namespace volume {

using platform::Event;
using platform::ThemeTrackDrawInfo;
using platform::TrackGeometry;

namespace {

constexpr size_t kDrawInfoSize = sizeof(ThemeTrackDrawInfo);

} // namespace

int32_t SuperSlider::GetThumbWidth() {
    if (small)
        return TrackGeometry::kSmallThumb;
    return Round ? TrackGeometry::kRoundThumb : TrackGeometry::kPointedThumb;
}

int32_t SuperSlider::GetValueFromCoords(int32_t x, int32_t y) {
    // A square control maps along its height, though it is drawn as a horizontal track.
    bool horizontal = Width() > Height();
    TrackGeometry track{horizontal ? Width() : Height(), GetThumbWidth(), Minimum, Maximum,
                        reverseDirection};
    return track.value_at(horizontal ? x : y);
}

void SuperSlider::SetValue(int32_t v) {
    value = v;
    report_change();
    Refresh(true);
}

int32_t SuperSlider::GetBits() {
    uint32_t bits = 0;
    for (size_t i = 0; i < Values.size(); ++i)
        if (Values[i])
            bits |= 1u << i;
    return static_cast<int32_t>(bits);
}

bool SuperSlider::IsOSX() {
    int32_t version = 0;
    return platform::System::Gestalt("sysv", version) && version >= 0x1000;
}

void SuperSlider::report_change() {
    if (prevValue == value)
        return;
    // The holder sees the new value while prevValue still holds the old one.
    raise(Event::ValueChanged);
    prevValue = value;
}

bool SuperSlider::Event_MouseDown(int32_t x, int32_t y) {
    // Taken even when disabled, so that the release still comes here.
    if (!Enabled())
        return true;
    startValue = value;
    // The pointer is inside: a drag out of the control from here is a new stay outside, whatever
    // the last press left behind.
    refreshed = false;
    value = GetValueFromCoords(x, y);
    if (LiveScroll)
        report_change();
    ThumbPressed = true;
    Refresh(true);
    return true;
}

void SuperSlider::Event_MouseDrag(int32_t x, int32_t y) {
    if (!Enabled())
        return;
    bool inside = x > 0 && x < Width() && y > 0 && y < Height();
    if (AbortOnDragOut && !inside) {
        // Put back once per stay outside, and said so even when nothing changed.
        if (!refreshed) {
            ThumbPressed = false;
            value = startValue;
            raise(Event::ValueChanged);
            Refresh(true);
            refreshed = true;
        }
        return;
    }
    value = GetValueFromCoords(x, y);
    if (AbortOnDragOut) {
        ThumbPressed = true;
        refreshed = false;
    }
    // Without live reporting the thumb stays where the press put it until the release.
    if (LiveScroll && prevValue != value) {
        report_change();
        Refresh(true);
    }
}

void SuperSlider::Event_MouseUp(int32_t, int32_t) {
    ThumbPressed = false;
    report_change();
    Refresh(true);
}

void SuperSlider::Event_Open() {
    DrawInfo = platform::make_ref<platform::MemoryBlock>(kDrawInfoSize);
    // The value set at design time is not a change.
    prevValue = value;
    raise(Event::Open);
}

void SuperSlider::Event_Paint(platform::Graphics& g) {
    fill_draw_info();
    // The renderer works in the window's coordinates, as the record's bounds are.
    platform::Point own = g.origin();
    g.set_origin({own.x - Left(), own.y - Top()});
    platform::DrawThemeTrack(g, DrawInfo->address());
    if (TickMarks && !Round)
        platform::DrawThemeTrackTickMarks(g, DrawInfo->address(), NumTickMarks);
    g.set_origin(own);
}

void SuperSlider::fill_draw_info() {
    using Info = ThemeTrackDrawInfo;
    platform::MemoryBlock& info = *DrawInfo;
    bool small_kind = small && IsOSX();
    info.Short(offsetof(Info, kind), small_kind ? Info::kSmallSlider : Info::kMediumSlider);
    info.Short(offsetof(Info, top), static_cast<int16_t>(Top() + Info::kInsetTopLeft));
    info.Short(offsetof(Info, left), static_cast<int16_t>(Left() + Info::kInsetTopLeft));
    info.Short(offsetof(Info, bottom),
               static_cast<int16_t>(Top() + Height() - Info::kInsetBottomRight));
    info.Short(offsetof(Info, right),
               static_cast<int16_t>(Left() + Width() - Info::kInsetBottomRight));
    info.Long(offsetof(Info, min), Minimum);
    info.Long(offsetof(Info, max), Maximum);
    info.Long(offsetof(Info, value), value);
    info.Long(offsetof(Info, reserved), 0);
    Values[0] = Height() <= Width();
    Values[1] = reverseDirection;
    Values[2] = true;
    Values[3] = true;
    info.Short(offsetof(Info, attributes), static_cast<int16_t>(GetBits()));
    info.Byte(offsetof(Info, enable_state), Enabled() ? Info::kActive : Info::kDisabled);
    info.Byte(offsetof(Info, filler), 0);
    uint8_t direction = Round             ? Info::kThumbPlain
                        : PointsDownRight ? Info::kThumbDownward
                                          : Info::kThumbUpward;
    info.Byte(offsetof(Info, thumb_direction), direction);
    info.Byte(offsetof(Info, press_state), ThumbPressed ? Info::kThumbPressed : 0);
}

} // namespace volume
