#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Geometry.h"

class CNxSurface;

// One registered image of a player action with its display settings. Copies share the decoded
// image, which lives as long as some copy holds it, so frames can be copied freely between the
// definition, the dialog's working lists and the preview (which draws them with sprites of its
// own).
//
// The rectangles here are inclusive (right and bottom are the last pixel), as the settings
// dialog shows them; everywhere else a rectangle's right and bottom are exclusive.
struct PlayerFrame {
    static constexpr std::uint32_t kDefaultDisplayTime = 100;
    static constexpr std::uint32_t kMaxDisplayTime = 60000;
    static constexpr int kExtraRectCount = 4;

    std::uint32_t displayTime = kDefaultDisplayTime;  // milliseconds
    std::uint8_t alpha = 255;
    platform::Rect sourceRect{0, 0, 0, 0};  // the part of the image the preview draws
    // Kept for the game that reads the definition; the editor only edits them.
    std::array<platform::Rect, kExtraRectCount> extraRects{};
    bool drawOption = true;  // draw with the image's own alpha as well
    std::shared_ptr<CNxSurface> image;
    std::string path;
    std::string displayName;

    // The default settings for an image of width × height.
    void setDefaults(std::int32_t width, std::int32_t height);
    // Display time, alpha, the five rectangles and the draw option are equal.
    bool sameSettings(const PlayerFrame& other) const;
};
