// Photographs a window as it stands on the screen and keeps it as a PNG file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// 24-bit RGB pixels, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The screen's pixels under `window`, once the program has painted it.
Image CaptureWindow(HWND window);
std::vector<std::uint8_t> EncodePng(const Image& image);
// Saves `window` as <screenshot folder>\<name>.png; does nothing when no
// folder was given. Fails the test when the file cannot be written.
void SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace driver
