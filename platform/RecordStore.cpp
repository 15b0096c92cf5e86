#include "platform/RecordStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/RecordFile.h"

namespace platform {

// What the writer's thread keeps between writes. Only the failure fields are shared with the
// caller's thread, under the mutex.
struct RecordStore::State {
    std::string folder;
    Hook hook;
    AppendFile journal;
    bool journalBroken = false;

    // The streamed record being written.
    int streamFd = -1;
    std::string streamName;
    std::uint64_t streamAt = 0;
    record::Checksum streamChecksum;
    bool streamBroken = false;

    std::mutex mutex;
    std::uint64_t failures = 0;
    std::string failure;

    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::string partPath(const std::string& name) const { return folder + "/." + name + ".part"; }

    void label(const std::string& what) const {
        if (hook) {
            hook(what);
        }
    }

    void fail(const std::string& message) {
        std::lock_guard<std::mutex> lock(mutex);
        ++failures;
        if (failure.empty()) {
            failure = message;
        }
    }

    void syncFolder() const {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    // Makes the part file of name current; false (and a failure) when it cannot.
    bool makeCurrent(const std::string& name) {
        label("record-written " + name);
        if (::rename(partPath(name).c_str(), path(name).c_str()) != 0) {
            fail(path(name) + ": " + std::strerror(errno));
            ::unlink(partPath(name).c_str());
            return false;
        }
        syncFolder();
        label("record-current " + name);
        return true;
    }

    void remove(const Needless& needless) const {
        if (!needless) {
            return;
        }
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            return;
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            if (needless(entry->d_name)) {
                names.push_back(entry->d_name);
            }
        }
        ::closedir(dir);
        for (const std::string& name : names) {
            ::unlink(path(name).c_str());
        }
    }

    void closeStream() {
        if (streamFd >= 0) {
            ::close(streamFd);
            streamFd = -1;
        }
    }

    bool writeStream(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        while (size > 0) {
            const ssize_t n = ::pwrite(streamFd, bytes, size, static_cast<off_t>(streamAt));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                fail(path(streamName) + ": " + std::strerror(n < 0 ? errno : EIO));
                closeStream();
                ::unlink(partPath(streamName).c_str());
                streamBroken = true;
                return false;
            }
            bytes += n;
            size -= static_cast<std::size_t>(n);
            streamAt += static_cast<std::uint64_t>(n);
        }
        return true;
    }
};

RecordStore::RecordStore(std::string folder, Hook hook) : m_state(std::make_shared<State>()) {
    m_state->folder = std::move(folder);
    m_state->hook = std::move(hook);
}

RecordStore::~RecordStore() {
    m_writer.waitIdle();
    std::shared_ptr<State> state = m_state;
    m_writer.post([state] { state->closeStream(); });
    m_writer.waitIdle();
}

void RecordStore::setFolder(std::string folder) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, folder = std::move(folder)] {
        state->journal.close();
        state->closeStream();
        state->folder = folder;
    });
}

void RecordStore::writeRecord(std::string name, std::uint32_t kind,
                              std::vector<std::uint8_t> payload, Needless needless) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, name = std::move(name), kind, payload = std::move(payload),
                   needless = std::move(needless)] {
        // Written beside the name and renamed, rather than writeFileAtomically, so that the
        // moment between the two can be labelled.
        const std::string part = state->partPath(name);
        ::unlink(part.c_str());
        std::vector<std::uint8_t> bytes;
        record::append(bytes, kind, {{payload.data(), payload.size()}});
        AppendFile writer;
        const Outcome<bool> written = writer.create(part).then([&] {
            return writer.append({{bytes.data(), bytes.size()}});
        });
        if (!written.value) {
            writer.close();
            state->fail(written.why());
            ::unlink(part.c_str());
            return;
        }
        writer.close();
        if (state->makeCurrent(name)) {
            state->remove(needless);
        }
    });
}

void RecordStore::startJournal(std::string name, std::vector<std::uint8_t> bytes) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, name = std::move(name), bytes = std::move(bytes)] {
        const std::string path = state->path(name);
        ::unlink(path.c_str());
        const Outcome<bool> started = state->journal.create(path).then([&] {
            return state->journal.append({{bytes.data(), bytes.size()}});
        });
        state->journalBroken = !started.value;
        if (state->journalBroken) {
            state->journal.close();
            state->fail(started.why());
        }
    });
}

void RecordStore::appendJournal(std::vector<std::uint8_t> bytes) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, bytes = std::move(bytes)] {
        if (state->journalBroken || !state->journal.isOpen()) {
            state->fail("the journal takes no more records after a failed write");
            return;
        }
        const Outcome<bool> appended = state->journal.append({{bytes.data(), bytes.size()}});
        if (!appended.value) {
            state->journalBroken = true;
            state->journal.close();
            state->fail(appended.why());
            return;
        }
        state->label("journal-appended");
    });
}

void RecordStore::beginStream(std::string name, std::uint32_t kind, std::uint64_t length) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, name = std::move(name), kind, length] {
        state->closeStream();
        state->streamName = name;
        state->streamAt = 0;
        state->streamChecksum.reset();
        state->streamBroken = false;
        const std::string part = state->partPath(name);
        state->streamFd =
            ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (state->streamFd < 0) {
            state->streamBroken = true;
            state->fail(part + ": " + std::strerror(errno));
            return;
        }
        const auto header = record::header(kind, length);
        state->writeStream(header.data(), header.size());
    });
}

void RecordStore::streamPart(std::vector<std::uint8_t> bytes) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, bytes = std::move(bytes)] {
        if (state->streamBroken || state->streamFd < 0) {
            return;  // the failure was counted when the stream broke
        }
        state->streamChecksum.update(bytes.data(), bytes.size());
        state->writeStream(bytes.data(), bytes.size());
    });
}

void RecordStore::finishStream(Needless needless) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, needless = std::move(needless)] {
        if (state->streamBroken || state->streamFd < 0) {
            return;
        }
        const auto trailer = record::trailer(state->streamChecksum.value());
        if (!state->writeStream(trailer.data(), trailer.size())) {
            return;
        }
        if (::fsync(state->streamFd) != 0) {
            state->fail(state->path(state->streamName) + ": " + std::strerror(errno));
            state->closeStream();
            ::unlink(state->partPath(state->streamName).c_str());
            return;
        }
        state->closeStream();
        if (state->makeCurrent(state->streamName)) {
            state->remove(needless);
        }
    });
}

void RecordStore::abortStream() {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state] {
        if (state->streamFd >= 0) {
            state->closeStream();
            ::unlink(state->partPath(state->streamName).c_str());
        }
        state->streamBroken = true;
    });
}

void RecordStore::removeFiles(Needless needless) {
    std::shared_ptr<State> state = m_state;
    m_writer.post([state, needless = std::move(needless)] { state->remove(needless); });
}

std::uint64_t RecordStore::failures() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->failures;
}

std::string RecordStore::takeFailure() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    std::string message;
    message.swap(m_state->failure);
    return message;
}

}  // namespace platform
