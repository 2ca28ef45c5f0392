#pragma once

#include "platform/base/Ref.h"
#include "platform/compat/MemoryBlock.h"
#include "platform/windows/Canvas.h"

#include <array>
#include <cstdint>

namespace volume {

// A slider drawn as the themed track: presses and drags along it give an integer value from
// Minimum to Maximum, reported to the holder through ValueChanged, live while dragging or once
// at release. It lies horizontally or vertically by its own proportions and may run either way.
// Events raised to the holder: ValueChanged and Open.
class SuperSlider : public platform::Canvas {
public:
    int32_t Minimum = 0;
    int32_t Maximum = 0;
    // Stored unchecked when set by code.
    int32_t value = 0;
    // Maximum at the left or top.
    bool reverseDirection = false;
    // The small track and a 12-pixel thumb.
    bool small = false;
    // The track record handed to the renderer: made at open, refilled in place at every paint.
    platform::Ref<platform::MemoryBlock> DrawInfo;
    bool ThumbPressed = false;
    // The value last reported, or taken at open; only a value that differs is reported.
    int32_t prevValue = 0;
    // Report while the thumb is dragged, not only at release.
    bool LiveScroll = false;
    // A round thumb without a point; never drawn with tick marks.
    bool Round = false;
    bool TickMarks = false;
    int32_t NumTickMarks = 0;
    // The pointed thumb points down (horizontal track) or right (vertical); else up or left.
    bool PointsDownRight = false;
    // Dragging out of the control puts back the value it had at the press.
    bool AbortOnDragOut = false;
    // value at the last press.
    int32_t startValue = 0;
    // Set once the value has been put back for the pointer's current stay outside.
    bool refreshed = false;
    // Staging for the track's attribute word: entry i stands for bit i.
    std::array<bool, 32> Values{};

    // The framework's events, handled by the slider itself.
    bool handle_mouse_down(int x, int y) override { return Event_MouseDown(x, y); }
    void handle_mouse_drag(int x, int y) override { Event_MouseDrag(x, y); }
    void handle_mouse_up(int x, int y) override { Event_MouseUp(x, y); }
    void handle_open() override { Event_Open(); }

protected:
    // Called by the framework only; declared ahead of the public methods so that the table of
    // virtual methods lists the events first.
    virtual void Event_MouseUp(int32_t x, int32_t y);
    virtual void Event_MouseDrag(int32_t x, int32_t y);
    virtual bool Event_MouseDown(int32_t x, int32_t y);
    virtual void Event_Open();
    virtual void Event_Paint(platform::Graphics& g);
    void handle_paint(platform::Graphics& g) override { Event_Paint(g); }

public:
    // The thumb's extent along the track, in pixels.
    virtual int32_t GetThumbWidth();
    // The value for a pointer position in the control's coordinates.
    virtual int32_t GetValueFromCoords(int32_t x, int32_t y);
    // Sets the value from code, unchecked; reports it if it differs from prevValue.
    virtual void SetValue(int32_t v);
    // The attribute word built from Values.
    virtual int32_t GetBits();
    // Whether the system is version 10.0 or later; only the small track's kind depends on it.
    virtual bool IsOSX();

private:
    // Raises ValueChanged for a value that differs from the last one reported, then takes it
    // as reported.
    void report_change();
    void fill_draw_info();
};

} // namespace volume
