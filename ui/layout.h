#pragma once

#include <array>
#include <string_view>

// The window's layout, in twips (1/1440 inch) as designed; 15 twips make one
// device-independent pixel, so the window scales with the screen's DPI. Standard
// C++ alone: the Qt window and the Windows one read the same table.
namespace Layout {

constexpr int kTwipsPerPixel = 15;

struct Control {
    const char *name;
    int left, top, width, height; // twips; Text1 relative to Frame2
};

constexpr std::array<Control, 8> kControls{{
    {"cmd_Open", 120, 120, 2295, 375},
    {"Image1", 2520, 120, 375, 375},
    {"Image2", 5040, 120, 375, 375},
    {"cmd_Save", 5550, 120, 2295, 375},
    {"Text", 75, 690, 7830, 5220},
    {"Frame2", 75, 6000, 5295, 1275},
    {"Text1", 120, 240, 5040, 900},
    {"cmd_Exit", 5520, 6480, 2295, 375},
}};

// The client area; the platform's own frame goes around it.
constexpr int kClientWidthTwips = 7980;
constexpr int kClientHeightTwips = 7350;

constexpr int toPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

struct Pixels {
    int left, top, width, height;
};

struct Size {
    int width, height;
};

// The client area's size in pixels.
constexpr Size clientSize()
{
    return {toPixels(kClientWidthTwips), toPixels(kClientHeightTwips)};
}

constexpr Pixels pixelRect(const Control &c)
{
    return {toPixels(c.left), toPixels(c.top), toPixels(c.width), toPixels(c.height)};
}

constexpr const Control &control(const char *name)
{
    for (const Control &c : kControls) {
        if (std::string_view(c.name) == name)
            return c;
    }
    throw "no such control";
}

} // namespace Layout
