#pragma once

#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/MessagePort.h"

class KindDialogState;
class KindTable;

// The attribute list page of the settings sheet (109, "チップ属性設定"): every attribute 0 … 99
// as one row of a report list, and "属性の編集", which runs the edit dialog on the selected row
// and then rebuilds that row. Its edits take effect at once; the page has nothing to apply.
class KindListPage : public platform::Dialog {
public:
    static constexpr int kListId = 100;
    static constexpr int kEditId = 1049;
    static constexpr int kRows = 100;

    explicit KindListPage(KindDialogState& state);

    // The texts of row number's seven columns, in language's words.
    static std::vector<std::string> rowCells(const KindTable& table, int number,
                                             const platform::Language& language);

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    KindDialogState& m_state;
};
