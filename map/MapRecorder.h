#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "map/MapChangeListener.h"
#include "map/MapJournal.h"

namespace platform {
class RecordStore;
}

// Keeps the map's recovery records (see MapJournal) up to date with the map: each change is
// encoded at once as a journal record, from the cells as they are now, and held until the next
// flush hands the records to the store's writer. The cost of a change is the cost of its cells.
// The shell's own records travel in the same journal, so that all of them keep one order.
//
// A new base is taken when a map starts (new: its size; loaded or saved: its file), when the
// journal has grown to a quarter of the map, when the map's file changed on disk, and after a
// write failed or the records waiting grew past what is worth holding. A snapshot base is copied
// a slice at a time, on the caller's thread, between edits: its rows are read at different
// moments, which the journal that starts with it makes good (its records set cells to absolute
// values): the base becomes current only after the records of every change until its last slice
// are written. A change of the map's shape while a snapshot is taken ends it, and a new one starts.
//
// Memory held beyond the map: the waiting records (at most a thirty-second of the map, or 1 MiB)
// and two slices in the writer's queue.
class MapRecorder {
public:
    struct Limits {
        std::size_t sliceBytes = 4u << 20;
        std::uint64_t minJournalBytes = 8u << 20;
        std::size_t minWaitingBytes = 1u << 20;
    };

    // Writes generations after lastGeneration (the newest in the folder, 0 when none).
    MapRecorder(platform::RecordStore& store, std::uint64_t lastGeneration);
    MapRecorder(platform::RecordStore& store, std::uint64_t lastGeneration, Limits limits);

    void record(const MapGrid& grid, const MapChange& change, bool modified);
    // A record of something beside the map (the shell's: the attribute table, the frames),
    // whole: it joins the journal in the order of the map's changes, and every new generation's
    // journal starts with the last of each kind, so that a journal cut anywhere gives a state
    // that was.
    void recordItem(std::uint32_t kind, std::vector<std::uint8_t> payload);

    // Whether records wait for a flush.
    bool hasWaiting() const;
    // Hands the waiting records to the writer, and starts a snapshot when one is due.
    void flush(const MapGrid& grid);
    // Copies the next slice of a snapshot being taken to the writer (when its queue has room).
    // Returns whether the snapshot goes on.
    bool captureStep(const MapGrid& grid);
    bool isCapturing() const { return m_capturing; }
    std::uint64_t generation() const { return m_generation; }

private:
    void startGeneration(bool continues);
    void beginSnapshot(const MapGrid& grid, bool continues);
    void abortSnapshot();
    void drop();

    platform::RecordStore& m_store;
    Limits m_limits;
    std::uint64_t m_generation;
    std::uint64_t m_knownFailures = 0;

    // The current generation's base as far as it is known, and its journal.
    mapjournal::BaseInfo m_base;
    bool m_baseWaiting = false;        // a blank or file base to write at the next flush
    std::vector<std::uint8_t> m_head;  // the journal's head, when it is still to be written
    std::vector<std::uint8_t> m_waiting;
    std::uint64_t m_journalBytes = 0;  // since the newest base began
    bool m_modified = false;
    std::map<std::uint32_t, std::vector<std::uint8_t>> m_items;

    // A snapshot due (and whether its journal continues this one), or being taken.
    bool m_snapshotDue = false;
    bool m_dueContinues = true;
    bool m_dropping = false;  // changes need no record: the due snapshot holds them
    bool m_started = false;   // a map started since this recorder was made
    bool m_capturing = false;
    int m_captureLayer = 0;
    int m_captureRow = 0;
};
