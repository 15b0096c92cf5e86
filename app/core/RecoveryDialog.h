#pragma once

#include "platform/Dialog.h"
#include "platform/MessagePort.h"

struct RecoveredWork;

// "作業の復元": what an editor that is gone left unsaved, item by item, with a warning when an
// item's file changed since or when an earlier restore of it did not finish, and the choice
// "復元" (restore it now), "破棄" (delete it) or "後で" (keep it for the next start; also
// Escape and the close box). After a restore that did not finish, "後で" is the default, so
// that Enter does not run into the same failure again.
class RecoveryDialog : public platform::Dialog {
public:
    static constexpr int kListId = 3001;
    static constexpr int kNoteId = 3002;
    static constexpr int kRestoreId = kOkId;
    static constexpr int kDiscardId = 3003;
    static constexpr int kLaterId = kCancelId;

    enum class Choice { Restore, Discard, Later };

    // Its texts come in language's words.
    RecoveryDialog(const RecoveredWork& work, const platform::Language& language)
        : m_work(work), m_language(language) {}

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

    Choice choice() const { return m_choice; }
    // The list's rows and the note, as the dialog shows them.
    std::vector<std::vector<std::string>> rows() const;
    std::string note() const;

private:
    const RecoveredWork& m_work;
    const platform::Language& m_language;
    Choice m_choice = Choice::Later;
};
