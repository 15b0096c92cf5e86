#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "map/MapChangeListener.h"
#include "map/MapRecorder.h"
#include "platform/RecordStore.h"

class Workspace;

namespace platform {
class Host;
class MillisecondClock;
class NativeWindow;
class RecoveryFolder;
}  // namespace platform

struct RecoveryOptions {
    // Where the running editors keep their folders (RecoveryFolder::defaultRoot()); empty: the
    // editor keeps no recovery data.
    std::string root;
    // Records are written once the user has paused this long, and at the latest this long
    // after the first change not yet written.
    int pauseMs = 2000;
    int latestMs = 10000;
    // The timer's period while changes wait, and while a snapshot is copied.
    int tickMs = 250;
    int captureTickMs = 10;
    const platform::MillisecondClock* clock = nullptr;  // null: the system's
    platform::RecordStore::Hook hook;                   // see RecordStore
    MapRecorder::Limits limits;
};

// Keeps the editor's unsaved work in its recovery folder while it runs: the map through its
// recorder, and in the same journal, whenever they change, records of the attribute table, the
// player's frames and the chip image in use.
// It runs on a timer of its own that runs only while something waits to be written, so an
// editor left alone uses no processor time. A write that fails is told to the user once (until
// writing works again); editing goes on, and writing is tried again every latestMs.
class RecoveryKeeper : public MapChangeListener {
public:
    static constexpr int kTimerId = 1;

    RecoveryKeeper(platform::Host& host, RecoveryOptions options);
    ~RecoveryKeeper() override;
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    bool isEnabled() const { return !m_options.root.empty(); }
    const RecoveryOptions& options() const { return m_options; }

    // Starts keeping work's changes, with the paths the shell holds (read at every tick), ticking
    // on timerWindow's timer; messages are owned by owner. The folder is made now; when it
    // cannot be, the user is told and it is tried again later.
    void start(Workspace& work, const std::string& mapPath, const std::string& chipPath,
               const std::string& kindPath, platform::NativeWindow& timerWindow,
               platform::NativeWindow* owner);
    // Goes on in folder, left by an editor that is gone, whose work was just restored: its
    // records stay until newer ones take their place; this editor's own folder goes.
    void adopt(std::unique_ptr<platform::RecoveryFolder> folder, std::uint64_t newestGeneration);

    void mapChanged(const MapGrid& grid, const MapChange& change, bool modified) override;
    // Something besides the map may have changed (the attribute table, the frames, a path):
    // it is recorded now, in its place among the map's changes.
    void poke();
    // The map's file changed on disk under the editor: unsaved work built on it is written
    // again whole, without waiting for the next edit, so that it no longer needs that file.
    void mapFileChanged();
    void onTimer();

    // Writes what waits now and waits for the disk.
    void writeNow();
    // Waits until the writes handed over so far are done.
    void waitForDisk();
    // The editor ends cleanly: the folder and all in it go.
    void finish();

    const platform::RecoveryFolder* folder() const { return m_folder.get(); }

private:
    std::uint64_t now() const;
    bool open();
    void startRecording();
    // Records the attribute table, the frames and the session when they changed.
    void noteItems(std::uint64_t at);
    void flush();
    void checkFailures(std::uint64_t at);
    void tell(const std::string& why);
    void schedule();

    platform::Host& m_host;
    RecoveryOptions m_options;
    Workspace* m_work = nullptr;
    const std::string* m_mapPath = nullptr;
    const std::string* m_chipPath = nullptr;
    const std::string* m_kindPath = nullptr;
    platform::NativeWindow* m_timerWindow = nullptr;
    platform::NativeWindow* m_owner = nullptr;

    std::unique_ptr<platform::RecoveryFolder> m_folder;
    std::unique_ptr<platform::RecordStore> m_store;
    std::unique_ptr<MapRecorder> m_recorder;

    // Changes not yet written: since when, and the last one.
    std::optional<std::uint64_t> m_waitingSince;
    std::uint64_t m_lastChange = 0;
    std::uint64_t m_retryAt = 0;
    // What was last recorded of each item, without its time (empty: nothing yet).
    std::vector<std::uint8_t> m_kindsRecorded, m_playerRecorded, m_sessionRecorded;
    std::vector<std::uint8_t> m_playerPayload;
    std::uint64_t m_playerRevision = ~std::uint64_t(0);

    std::uint64_t m_seenFailures = 0;
    bool m_failing = false;      // told, and not yet written again
    bool m_checkWrites = false;  // writes are under way: look for their failures
    std::string m_openError;
    int m_timerPeriod = 0;  // 0: not running
};
