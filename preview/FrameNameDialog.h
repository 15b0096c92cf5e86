#pragma once

#include "platform/Dialog.h"

struct PlayerFrame;

// The frame's display name (145, "名前の変更"). OK is disabled while the name is empty.
class FrameNameDialog : public platform::Dialog {
public:
    static constexpr int kNameId = 1163;

    explicit FrameNameDialog(PlayerFrame& frame) : m_frame(frame) {}

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    PlayerFrame& m_frame;
};
