#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/BackgroundWriter.h"

namespace platform {

// The writes into one folder of records (see RecordFile), run one after another on a thread of
// their own so that the caller never waits for the disk. Each call hands over the bytes it
// writes. Every file appears whole or not at all: a record file is written beside its name and
// renamed over it once flushed; a journal is appended to and flushed record by record.
//
// A write that fails (a full disk, a folder gone) is counted and its message kept for the
// caller to take; nothing it would have replaced is touched. After a failed append the journal
// takes nothing more until a new one is started, and after a failed part a streamed record
// takes nothing more until the next one begins: what is on disk then always ends with whole
// records.
class RecordStore {
public:
    // Called on the writer's thread at labelled points ("journal-appended", "record-written
    // NAME", "record-current NAME"), so that tests can stop the process between writing a record
    // and making it current.
    using Hook = std::function<void(const std::string& label)>;
    // Which files of the folder to remove (by name), after a record made older ones needless.
    using Needless = std::function<bool(const std::string& name)>;

    explicit RecordStore(std::string folder, Hook hook = {});
    // Runs what is queued, then stops.
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // The folder the writes after this one go to.
    void setFolder(std::string folder);

    // Replaces name by one record; then, if it was written, removes the needless files.
    void writeRecord(std::string name, std::uint32_t kind, std::vector<std::uint8_t> payload,
                     Needless needless = {});
    // Starts the journal name (replacing any file of that name) with bytes, its first records.
    void startJournal(std::string name, std::vector<std::uint8_t> bytes);
    // Appends whole records to the journal.
    void appendJournal(std::vector<std::uint8_t> bytes);
    // A record too large to hold at once, streamed into name: its header (length bytes of
    // payload follow), the payload in parts, then its trailer, when it is renamed into place and
    // the needless files go. abortStream drops it.
    void beginStream(std::string name, std::uint32_t kind, std::uint64_t length);
    void streamPart(std::vector<std::uint8_t> bytes);
    void finishStream(Needless needless = {});
    void abortStream();
    // Removes the files of the folder that needless names.
    void removeFiles(Needless needless);

    // Writes queued or running.
    std::size_t backlog() const { return m_writer.pending(); }
    void waitIdle() { m_writer.waitIdle(); }
    // How many writes failed so far; and the message of the first failure since the last take
    // (empty when none).
    std::uint64_t failures() const;
    std::string takeFailure();

private:
    struct State;
    BackgroundWriter m_writer;
    std::shared_ptr<State> m_state;
};

}  // namespace platform
