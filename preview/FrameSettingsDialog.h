#pragma once

#include "platform/Dialog.h"
#include "preview/PlayerFrame.h"

class PreviewScreen;

// The settings of one frame (127, "フレームの設定"): display time, source rectangle, the four
// further rectangles, alpha and draw option. The preview shows the frame meanwhile; the source
// rectangle, alpha and draw option change it as they are edited. OK and Apply take every value;
// Cancel puts back those three as they were at the opening or the last Apply.
class FrameSettingsDialog : public platform::Dialog {
public:
    static constexpr int kDisplayTimeId = 1134;
    static constexpr int kAlphaId = 1154;
    static constexpr int kDrawOptionId = 1057;
    static constexpr int kShowPreviewId = 1165;
    static constexpr int kApplyId = 3;
    // Edit ids of a rectangle's left, right, top and bottom: the source rectangle, then the
    // four further ones. The up-downs' ids are in the template.
    static const int kRectIds[1 + PlayerFrame::kExtraRectCount][4];

    FrameSettingsDialog(PlayerFrame& frame, PreviewScreen& preview);

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    void readAll(platform::DialogControls& controls);
    void save();
    void restore();

    PlayerFrame& m_frame;
    PreviewScreen& m_preview;
    bool m_initialised = false;
    platform::Rect m_savedSourceRect{};
    std::uint8_t m_savedAlpha = 255;
    bool m_savedDrawOption = true;
};
