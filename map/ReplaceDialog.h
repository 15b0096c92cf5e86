#pragma once

#include <functional>

#include "platform/Dialog.h"

namespace platform {
class Host;
class NativeWindow;
}  // namespace platform

// The replace dialog (104, "チップの置換"): what to replace (kind and number) and what to put in
// its place. OK hands both to the replace function given at construction; the dialog itself
// changes nothing. Made once by the shell and opened as often as the user asks.
class ReplaceDialog : public platform::Dialog {
public:
    // Kinds as the lists number them; they are the layers of the map (0 chips, 1 attributes).
    static constexpr int kChipKind = 0;
    static constexpr int kAttributeKind = 1;
    static constexpr int kAttributeCount = 100;

    static constexpr int kTemplateId = 104;
    static constexpr int kSourceKindId = 1059;
    static constexpr int kSourceNumberId = 1004;
    static constexpr int kSourceUpDownId = 1023;
    static constexpr int kTargetKindId = 1060;
    static constexpr int kTargetNumberId = 1006;
    static constexpr int kTargetUpDownId = 1022;

    // from, to, source layer, target layer.
    using ReplaceFunction = std::function<void(int from, int to, int sourceLayer, int targetLayer)>;

    explicit ReplaceDialog(ReplaceFunction replace);

    // Sets the chip count that limits chip numbers at the next opening, and opens the dialog
    // modally over owner (the map window).
    platform::DialogResult run(platform::Host& host, platform::NativeWindow* owner, int chipCount);
    void setChipCount(int chipCount) { m_chipCount = chipCount; }

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    struct Group {
        int kindId;
        int numberId;
        int kind;
        int number;
    };

    Group* groupOfKind(int id);
    Group* groupOfNumber(int id);
    void setKind(platform::DialogControls& controls, Group& group, int kind);
    int highestNumber(int kind) const;

    ReplaceFunction m_replace;
    int m_chipCount = 0;
    Group m_source{kSourceKindId, kSourceNumberId, kChipKind, 0};
    Group m_target{kTargetKindId, kTargetNumberId, kChipKind, 0};
};
