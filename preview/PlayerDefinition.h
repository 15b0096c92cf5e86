#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "preview/PlayerFrame.h"

class CNxSurface;

// A player character's frames: seven actions, each an ordered list of at most 50 frames, and a
// cache of the decoded images by path. The cache holds its images weakly: an image is decoded
// once per path while some frame (here, in a dialog's working copy or in the preview) uses it,
// and freed with its last frame.
class PlayerDefinition {
public:
    static constexpr int kActionCount = 7;
    static constexpr int kMaxFrames = 50;

    using FrameList = std::vector<PlayerFrame>;
    using ImageCache = std::map<std::string, std::weak_ptr<CNxSurface>>;

    PlayerDefinition() = default;
    PlayerDefinition(const PlayerDefinition&) = delete;
    PlayerDefinition& operator=(const PlayerDefinition&) = delete;

    static int ActionCount() { return kActionCount; }
    // "立ち", "歩き", "ジャンプ", "落下", "ダメージ", "死亡", "攻撃"; empty outside 0 … 6.
    static std::string GetActionName(int action);

    const FrameList& frames(int action) const { return m_frames.at(action); }
    const ImageCache& imageCache() const { return m_imageCache; }

    // Appends copies of the action's frames to frames.
    void AppendFramesTo(int action, FrameList& frames) const;
    void ClearFrames(int action);
    // Appends frames to the action's list (after ClearFrames: replaces it).
    void SetFrames(int action, FrameList frames);
    // Adds every entry of this definition's cache to cache.
    void CopyImageCacheTo(ImageCache& cache) const;
    // Replaces this definition's cache by a copy of cache.
    void SetImageCache(const ImageCache& cache);

    // The image cache holds for path while it lives; null otherwise.
    static std::shared_ptr<CNxSurface> FindCachedImage(const std::string& path,
                                                       const ImageCache& cache);
    // Decodes the image file at path into a 32-bit surface; null when it cannot be read.
    static std::shared_ptr<CNxSurface> DecodeImage(const std::string& path);
    // Fills frame for the image file at path with the default settings and a sprite of its own
    // (hidden, on no layer). With existingImage the frame shares it; otherwise the file is
    // decoded and entered in cache. False, and frame without image or sprite, when decoding
    // fails.
    static bool LoadFrame(const std::string& path, PlayerFrame& frame, ImageCache& cache,
                          std::shared_ptr<CNxSurface> existingImage);
    // Called before a frame with path leaves lists: when no other frame of lists has path and
    // nothing else holds the image, the cache entry goes (the image goes with the frame).
    static void ReleaseImageIfUnused(const std::string& path, const FrameList* lists, int listCount,
                                     ImageCache& cache);
    // The frames of the first listCount lists whose path is path.
    static int CountPathUses(const std::string& path, const FrameList* lists, int listCount);

private:
    ImageCache m_imageCache;
    std::array<FrameList, kActionCount> m_frames;
};
