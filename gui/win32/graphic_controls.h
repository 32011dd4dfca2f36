// Labels, pictures and lines have no windows of their own: the window they lie in (a
// form or a panel) paints them in creation order, each over the ones before it, and
// passes them their clicks. Controls with windows always lie above them.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "gui/control.h"

namespace gui::win32 {

bool IsGraphic(const gui::Control& control);

// The graphic controls a container window paints, in painting order.
std::vector<gui::Control*> GraphicControlsOf(gui::Control& container);

// Shown: the control and every ancestor up to the container are visible.
bool ShownWithin(const gui::Control& control, const gui::Control& container);

// The control's box in the container window's pixels.
RECT BoxInContainer(const gui::Control& control, const gui::Control& container, int dpi);
// What painting the control may touch (a label's text can reach past its box).
RECT PaintedArea(const gui::Control& control, const gui::Control& container, HDC measure,
                 int dpi);

// Paints one graphic control; `under` is the container's colour.
void PaintGraphic(HDC dc, const gui::Control& control, const gui::Control& container, int dpi,
                  gui::Color under);

// The peer of a graphic control: every change repaints where it was and where it is.
std::unique_ptr<gui::ControlPeer> CreateGraphicPeer(gui::Control& control);

}  // namespace gui::win32
