#pragma once

#include <cstdint>
#include <vector>

#include "chips/KindRecord.h"
#include "platform/Dialog.h"

class KindDialogState;

// The attribute edit dialog (112, "チップ属性の設定") on the attribute that the shared state
// names: passable and drop-through, the hit rectangle within the current chip size, Z, the memo
// and the colour. OK stores the whole record; Cancel stores nothing. Made for one opening.
class KindEditDialog : public platform::Dialog {
public:
    static constexpr int kPassableId = 1057;
    static constexpr int kDropThroughId = 1058;
    static constexpr int kHitLeftId = 1118;
    static constexpr int kHitRightId = 1119;
    static constexpr int kHitTopId = 1120;
    static constexpr int kHitBottomId = 1121;
    static constexpr int kHitLeftUpDownId = 1122;
    static constexpr int kHitRightUpDownId = 1123;
    static constexpr int kHitTopUpDownId = 1124;
    static constexpr int kHitBottomUpDownId = 1125;
    static constexpr int kZId = 1126;
    static constexpr int kZUpDownId = 1127;
    static constexpr int kMemoId = 1038;
    static constexpr int kRedId = 1029;
    static constexpr int kGreenId = 1030;
    static constexpr int kBlueId = 1031;
    static constexpr int kSwatchId = 1040;
    static constexpr int kChooseColourId = 1053;
    // 259 bytes of code page 932 and the terminator fill the record's memo.
    static constexpr int kMemoBytes = static_cast<int>(KindRecord::kMemoBytes) - 1;

    explicit KindEditDialog(KindDialogState& state);

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    struct Field {
        int upDownId;
        std::int32_t KindRecord::*value;
        int maximum;
    };

    void showColour(platform::DialogControls& controls);
    void chooseColour(platform::DialogControls& controls);
    void store(platform::DialogControls& controls);
    // The up-downs with their ranges for the current chip size.
    std::vector<Field> fields() const;

    KindDialogState& m_state;
    KindRecord m_buffer;
};
