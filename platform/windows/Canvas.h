#pragma once

#include "platform/base/Ref.h"
#include "platform/graphics/Picture.h"
#include "platform/windows/RectControl.h"

namespace platform {

// A control that shows a backdrop picture at its top-left corner and whatever its Paint event
// draws. With neither it is transparent.
class Canvas : public RectControl {
public:
    // Reading gives the very object that was set.
    const Ref<Picture>& Backdrop() const { return m_backdrop; }
    // The new backdrop shows without a repaint request.
    void SetBackdrop(Ref<Picture> picture);

    void paint(Graphics& g) override;

protected:
    // The Paint event; a canvas class that draws itself overrides this.
    virtual void handle_paint(Graphics& g);

private:
    Ref<Picture> m_backdrop;
};

} // namespace platform
