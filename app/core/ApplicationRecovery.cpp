// The unsaved work of editors that are gone: offered back at the start, restored, or deleted.
#include <algorithm>

#include "app/core/Application.h"
#include "app/core/RecoveredWork.h"
#include "app/core/RecoveryDialog.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "platform/FileIo.h"
#include "platform/Host.h"
#include "platform/RecoveryFolder.h"
#include "platform/Texts.h"
#include "preview/PlayerFile.h"

namespace {

const char kTitle[] = PELORIN_TEXT("作業の復元");

}  // namespace

void Application::offerRecovery() {
    if (!m_recovery.isEnabled()) {
        return;
    }
    std::vector<platform::RecoveryFolder::Entry> entries =
        platform::RecoveryFolder::list(m_recovery.options().root);
    std::reverse(entries.begin(), entries.end());  // newest first
    bool restored = false;
    for (const platform::RecoveryFolder::Entry& entry : entries) {
        if (entry.running) {
            continue;  // this editor's own, or another that runs
        }
        std::unique_ptr<platform::RecoveryFolder> folder =
            platform::RecoveryFolder::take(entry.path).value;
        if (!folder) {
            continue;
        }
        RecoveredWork work = RecoveredWork::read(folder->path(), folder->files());
        if (!work.needsUser()) {
            folder->remove();  // an editor that ended with nothing unsaved
            continue;
        }
        if (restored) {
            continue;  // one editor takes one folder's work; the others wait for later starts
        }
        RecoveryDialog dialog(work, m_host);
        m_host.runDialog(m_mapWindow.get(), dialog);
        switch (dialog.choice()) {
            case RecoveryDialog::Choice::Restore:
                restore(work, std::move(folder));
                restored = true;
                break;
            case RecoveryDialog::Choice::Discard:
                if (m_host.messageBox(
                        m_mapWindow.get(),
                        PELORIN_TEXT("復元せずに削除します。この作業は元に戻せません。"
                                     "よろしいですか？"),
                        kTitle, platform::MessageButtons::YesNo,
                        platform::MessageIcon::Warning) == platform::MessageAnswer::Yes) {
                    folder->remove();
                }
                break;
            case RecoveryDialog::Choice::Later:
                break;
        }
    }
}

// Everything the folder holds that is unsaved comes back as unsaved; the folder becomes this
// editor's, so that nothing of the work is without a record at any moment.
void Application::restore(RecoveredWork& work, std::unique_ptr<platform::RecoveryFolder> folder) {
    // Marked first, so that a restore that never finishes is not taken for one that did.
    const std::string marker = folder->file(recovery::kRestoringFile);
    const std::string text = "restoring\n";
    platform::writeFileAtomically(marker, {{text.data(), text.size()}});
    m_recovery.adopt(std::move(folder), work.map.newestGeneration);

    MapScreen& map = m_work->map();
    const std::string& chips = work.session.chipPath;
    if (!chips.empty() && chips != m_chipPath) {
        if (map.loadChipImage(chips)) {
            m_chipPath = chips;
        } else {
            m_host.messageBox(
                m_mapWindow.get(),
                m_host.formatText(PELORIN_TEXT("画像の読み込みに失敗しました\n%s"), chips.c_str()),
                PELORIN_TEXT("画像読み込みエラー"), platform::MessageButtons::Ok,
                platform::MessageIcon::None);
        }
    }
    if (work.hasMap()) {
        MapGrid& grid = work.map.grid;
        if (grid.chipWidth() != map.chipSize().width ||
            grid.chipHeight() != map.chipSize().height) {
            map.setChipSize(grid.chipWidth(), grid.chipHeight());
        }
        const bool fileBacked = grid.fileBacked();
        map.takeMap(std::move(grid), work.map.path);
        if (fileBacked) {
            m_mapPath = work.map.path;
        }
    }
    if (work.hasKinds()) {
        KindScreen& kinds = *map.kindScreen();
        kinds.table().assign(std::move(work.kinds.records));
        if (!work.kinds.path.empty()) {
            m_kindPath = work.kinds.path;
        }
        kinds.updateTitle();
        kinds.drawCells();
    }
    if (work.hasPlayer()) {
        PlayerFile::Lists stored;
        if (PlayerFile::fromText(work.player.text, std::string(), stored).value) {
            PlayerDefinition::ImageCache cache;
            std::vector<std::string> unreadable;
            std::vector<platform::Notice> notices;
            m_work->player().replaceFrames(
                PlayerFile::withImages(stored, cache, unreadable, &notices));
            platform::show(m_host, m_mapWindow.get(), notices);
            if (!unreadable.empty()) {
                m_host.messageBox(
                    m_mapWindow.get(),
                    m_host.formatText(PELORIN_TEXT("次の画像を読み込めませんでした:%s"),
                                      PlayerFile::asLines(unreadable).c_str()),
                    kTitle, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
            }
        }
    }
    map.redraw();
    workChanged();
    if (const platform::RecoveryFolder* own = m_recovery.folder()) {
        own->removeFile(recovery::kRestoringFile);
    }
}
