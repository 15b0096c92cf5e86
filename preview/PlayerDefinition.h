#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "preview/PlayerFrame.h"

class CNxSurface;

// A player character's frames: seven actions, each an ordered list of at most 50 frames. The
// frames hold their decoded images; an ImageCache finds them by path, weakly, so that an image is
// decoded once per path while some frame (here, in a dialog's working copy or in the preview)
// uses it, and freed with its last frame.
class PlayerDefinition {
public:
    static constexpr int kActionCount = 7;
    static constexpr int kMaxFrames = 50;

    using FrameList = std::vector<PlayerFrame>;
    using ImageCache = std::map<std::string, std::weak_ptr<CNxSurface>>;

    PlayerDefinition() = default;
    PlayerDefinition(const PlayerDefinition&) = delete;
    PlayerDefinition& operator=(const PlayerDefinition&) = delete;

    // "立ち", "歩き", "ジャンプ", "落下", "ダメージ", "死亡", "攻撃"; empty outside 0 … 6.
    static std::string GetActionName(int action);

    const FrameList& frames(int action) const { return m_frames.at(action); }

    // Appends copies of the action's frames to frames.
    void AppendFramesTo(int action, FrameList& frames) const;
    void ClearFrames(int action);
    // Appends frames to the action's list (after ClearFrames: replaces it).
    void SetFrames(int action, FrameList frames);
    // Decodes the image file at path into a 32-bit surface; null when it cannot be read.
    static std::shared_ptr<CNxSurface> DecodeImage(const std::string& path);
    // Fills frame for the image file at path with the default settings and a sprite of its own
    // (hidden, on no layer). The frame shares the image cache holds for path while it lives;
    // otherwise the file is decoded and entered in cache. False, and frame without image or
    // sprite, when decoding fails.
    static bool LoadFrame(const std::string& path, PlayerFrame& frame, ImageCache& cache);
    // Drops the entries whose image no frame holds any more.
    static void ForgetUnusedImages(ImageCache& cache);

private:
    std::array<FrameList, kActionCount> m_frames;
};
