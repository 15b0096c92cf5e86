#include "app/core/RecoveryKeeper.h"

#include <algorithm>

#include "app/core/RecoveredWork.h"
#include "app/core/Workspace.h"
#include "chips/KindScreen.h"
#include "platform/Host.h"
#include "platform/MillisecondClock.h"
#include "platform/NativeWindow.h"
#include "platform/RecoveryFolder.h"
#include "platform/Texts.h"
#include "preview/PlayerFile.h"

namespace {

const char kWriteErrorTitle[] = PELORIN_TEXT("復元データの書き込みエラー");

}  // namespace

RecoveryKeeper::RecoveryKeeper(platform::Host& host, RecoveryOptions options)
    : m_host(host), m_options(std::move(options)) {}

RecoveryKeeper::~RecoveryKeeper() {
    if (m_timerWindow != nullptr && m_timerPeriod != 0) {
        m_timerWindow->killTimer(kTimerId);
    }
    // The store finishes the writes it holds before it goes; the folder stays for the next start
    // unless finish() removed it.
    m_recorder.reset();
    m_store.reset();
}

std::uint64_t RecoveryKeeper::now() const {
    const platform::MillisecondClock& clock =
        m_options.clock != nullptr ? *m_options.clock : platform::MillisecondClock::system();
    return clock.NowMicroseconds() / 1000;
}

void RecoveryKeeper::start(Workspace& work, const std::string& mapPath, const std::string& chipPath,
                           const std::string& kindPath, platform::NativeWindow& timerWindow,
                           platform::NativeWindow* owner) {
    if (!isEnabled()) {
        return;
    }
    m_work = &work;
    m_mapPath = &mapPath;
    m_chipPath = &chipPath;
    m_kindPath = &kindPath;
    m_timerWindow = &timerWindow;
    m_owner = owner;
    work.document().setChangeListener(this);
    if (!open()) {
        tell(m_openError);
        m_waitingSince = now();
        m_retryAt = now() + static_cast<std::uint64_t>(m_options.latestMs);
        schedule();
    }
}

bool RecoveryKeeper::open() {
    platform::Outcome<std::unique_ptr<platform::RecoveryFolder>> made =
        platform::RecoveryFolder::create(m_options.root);
    if (!made.value) {
        m_openError = made.why();
        return false;
    }
    m_folder = std::move(made.value);
    m_store = std::make_unique<platform::RecordStore>(m_folder->path(), m_options.hook);
    m_recorder = std::make_unique<MapRecorder>(*m_store, 0, m_options.limits);
    startRecording();
    return true;
}

// The map as it is now becomes the recorder's first base: its file or its size when it is
// saved, else a snapshot.
void RecoveryKeeper::startRecording() {
    const MapGrid& grid = m_work->document().grid();
    MapChange change;
    change.kind = MapChange::Kind::Started;
    change.path = grid.fileBacked() ? *m_mapPath : std::string();
    if (m_work->document().isModified()) {
        change.origin = MapChange::Origin::Taken;
    } else {
        change.origin = grid.fileBacked() ? MapChange::Origin::Loaded : MapChange::Origin::New;
    }
    m_kindsRecorded.clear();
    m_playerRecorded.clear();
    m_sessionRecorded.clear();
    noteItems(now());  // the items as they are, before the map's first base
    m_recorder->record(grid, change, m_work->document().isModified());
    m_seenFailures = m_store->failures();
    m_waitingSince = now();
    schedule();
}

void RecoveryKeeper::adopt(std::unique_ptr<platform::RecoveryFolder> folder,
                           std::uint64_t newestGeneration) {
    if (!isEnabled() || !folder) {
        return;
    }
    m_recorder.reset();
    m_store.reset();
    if (m_folder) {
        m_folder->remove();
    }
    m_folder = std::move(folder);
    m_store = std::make_unique<platform::RecordStore>(m_folder->path(), m_options.hook);
    m_recorder = std::make_unique<MapRecorder>(*m_store, newestGeneration, m_options.limits);
    if (m_work != nullptr) {
        startRecording();
    }
}

void RecoveryKeeper::mapChanged(const MapGrid& grid, const MapChange& change, bool modified) {
    if (m_recorder) {
        m_recorder->record(grid, change, modified);
    }
    const std::uint64_t at = now();
    m_lastChange = at;
    if (!m_waitingSince) {
        m_waitingSince = at;
    }
    schedule();
}

void RecoveryKeeper::poke() {
    if (m_work == nullptr) {
        return;
    }
    noteItems(now());
    schedule();
}

void RecoveryKeeper::mapFileChanged() {
    if (m_work == nullptr) {
        return;
    }
    const std::uint64_t at = now();
    m_lastChange = at;
    if (!m_waitingSince) {
        m_waitingSince = at;
    }
    schedule();
}

void RecoveryKeeper::noteItems(std::uint64_t at) {
    if (!m_recorder) {
        return;
    }
    bool changed = false;
    const std::int64_t time = recovery::nowMs();
    auto note = [&](std::uint32_t kind, std::vector<std::uint8_t> payload,
                    std::vector<std::uint8_t>& recorded) {
        if (payload != recorded) {
            recorded = payload;
            m_recorder->recordItem(kind, recovery::withTime(std::move(payload), time));
            changed = true;
        }
    };
    if (const KindScreen* kinds = m_work->kinds()) {
        const KindTable& table = kinds->table();
        const std::string& path = kinds->isFileLoaded() ? *m_kindPath : std::string();
        note(recovery::kindsKind(),
             recovery::kindsPayload(table.isModified(), path, platform::FileStamp::of(path),
                                    table.records()),
             m_kindsRecorded);
    }
    const PlayerDefinition& player = m_work->player();
    if (player.revision() != m_playerRevision || m_playerPayload.empty()) {
        std::string text;
        int frames = 0;
        for (const PlayerDefinition::FrameList& list : player.allFrames()) {
            frames += static_cast<int>(list.size());
        }
        PlayerFile::toText(player.allFrames(), std::string(), text);
        m_playerPayload = recovery::playerPayload(player.isModified(), text, frames);
        m_playerRevision = player.revision();
    }
    note(recovery::playerKind(), m_playerPayload, m_playerRecorded);
    note(recovery::sessionKind(), recovery::sessionPayload(*m_chipPath), m_sessionRecorded);
    if (changed) {
        m_lastChange = at;
        if (!m_waitingSince) {
            m_waitingSince = at;
        }
    }
}

void RecoveryKeeper::flush() {
    m_waitingSince.reset();
    if (!m_store) {
        return;
    }
    m_recorder->flush(m_work->document().grid());
    m_checkWrites = true;
}

void RecoveryKeeper::onTimer() {
    if (m_work == nullptr) {
        return;
    }
    const std::uint64_t at = now();
    if (!m_store && m_waitingSince && at >= m_retryAt) {
        if (open()) {
            m_failing = false;
        } else {
            m_retryAt = at + static_cast<std::uint64_t>(m_options.latestMs);
        }
    }
    noteItems(at);
    if (m_store && m_waitingSince && at >= m_retryAt &&
        (at - m_lastChange >= static_cast<std::uint64_t>(m_options.pauseMs) ||
         at - *m_waitingSince >= static_cast<std::uint64_t>(m_options.latestMs))) {
        flush();
    }
    if (m_recorder && m_recorder->isCapturing()) {
        for (int i = 0; i < 4 && m_recorder->captureStep(m_work->document().grid()); ++i) {
        }
    }
    checkFailures(at);
    schedule();
}

void RecoveryKeeper::checkFailures(std::uint64_t at) {
    if (!m_store) {
        return;
    }
    const std::uint64_t failures = m_store->failures();
    if (failures != m_seenFailures) {
        m_seenFailures = failures;
        const std::string why = m_store->takeFailure();
        // Everything is written again at the retry: the recorder takes a new snapshot, which
        // starts with the items as they are.
        m_waitingSince = at;
        m_lastChange = at;
        m_retryAt = at + static_cast<std::uint64_t>(m_options.latestMs);
        if (!m_failing) {
            m_failing = true;
            tell(why);
        }
        return;
    }
    if (m_checkWrites && m_store->backlog() == 0) {
        m_checkWrites = false;
        if (!m_waitingSince && !m_recorder->isCapturing()) {
            m_failing = false;  // all that was asked for is written: a new failure is told again
        }
    }
}

void RecoveryKeeper::tell(const std::string& why) {
    m_host.messageBox(
        m_owner,
        m_host.formatText(PELORIN_TEXT("作業の復元用データを書き込めませんでした。\n%s\n"
                                       "編集はこのまま続けられます。"
                                       "書き込みはこのあとも試みます。"),
                          why.c_str()),
        kWriteErrorTitle, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
}

void RecoveryKeeper::schedule() {
    if (m_timerWindow == nullptr) {
        return;
    }
    int period = 0;
    if (m_recorder && m_recorder->isCapturing()) {
        period = m_options.captureTickMs;
    } else if (m_waitingSince || m_checkWrites) {
        period = m_options.tickMs;
    }
    if (period != m_timerPeriod) {
        if (period == 0) {
            m_timerWindow->killTimer(kTimerId);
        } else {
            m_timerWindow->setTimer(kTimerId, period);
        }
        m_timerPeriod = period;
    }
}

void RecoveryKeeper::writeNow() {
    if (!m_store) {
        return;
    }
    noteItems(now());
    flush();
    while (m_recorder->isCapturing()) {
        m_recorder->captureStep(m_work->document().grid());
        m_store->waitIdle();
    }
    m_store->waitIdle();
    checkFailures(now());
    schedule();
}

void RecoveryKeeper::waitForDisk() {
    if (m_store) {
        m_store->waitIdle();
    }
}

void RecoveryKeeper::finish() {
    if (m_timerWindow != nullptr && m_timerPeriod != 0) {
        m_timerWindow->killTimer(kTimerId);
        m_timerPeriod = 0;
    }
    if (m_work != nullptr) {
        m_work->document().setChangeListener(nullptr);
    }
    m_recorder.reset();
    m_store.reset();
    if (m_folder) {
        m_folder->remove();
        m_folder.reset();
    }
}
