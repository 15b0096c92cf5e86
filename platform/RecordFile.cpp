#include "platform/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace platform {

namespace record {

namespace {

constexpr std::uint32_t kHeaderMagic = kind("PLRR");
constexpr std::uint32_t kTrailerMagic = kind("PLRE");

void storeU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t loadU32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    }
    return value;
}

std::uint64_t loadU64(const std::uint8_t* at) {
    return loadU32(at) | static_cast<std::uint64_t>(loadU32(at + 4)) << 32;
}

}  // namespace

Checksum::Checksum() : m_state(XXH3_createState()) {
    reset();
}

Checksum::~Checksum() {
    XXH3_freeState(static_cast<XXH3_state_t*>(m_state));
}

void Checksum::reset() {
    XXH3_64bits_reset(static_cast<XXH3_state_t*>(m_state));
}

void Checksum::update(const void* data, std::size_t size) {
    XXH3_64bits_update(static_cast<XXH3_state_t*>(m_state), data, size);
}

std::uint32_t Checksum::value() const {
    return static_cast<std::uint32_t>(XXH3_64bits_digest(static_cast<XXH3_state_t*>(m_state)));
}

std::uint32_t Checksum::of(const void* data, std::size_t size) {
    return static_cast<std::uint32_t>(XXH3_64bits(data, size));
}

std::array<std::uint8_t, kHeaderBytes> header(std::uint32_t kind, std::uint64_t length) {
    std::array<std::uint8_t, kHeaderBytes> h{};
    storeU32(&h[0], kHeaderMagic);
    storeU32(&h[4], kind);
    storeU32(&h[8], static_cast<std::uint32_t>(length));
    storeU32(&h[12], static_cast<std::uint32_t>(length >> 32));
    storeU32(&h[16], Checksum::of(h.data(), 16));
    return h;
}

std::array<std::uint8_t, kTrailerBytes> trailer(std::uint32_t payloadCrc) {
    std::array<std::uint8_t, kTrailerBytes> t{};
    storeU32(&t[0], payloadCrc);
    storeU32(&t[4], kTrailerMagic);
    return t;
}

namespace {

// The header and trailer that frame payload as one record of kind.
struct Frame {
    std::array<std::uint8_t, kHeaderBytes> header;
    std::array<std::uint8_t, kTrailerBytes> trailer;
};

Frame frameOf(std::uint32_t kind, const std::vector<ByteSpan>& payload) {
    std::uint64_t length = 0;
    Checksum checksum;
    for (const ByteSpan& piece : payload) {
        length += piece.size;
        checksum.update(piece.data, piece.size);
    }
    return {header(kind, length), trailer(checksum.value())};
}

}  // namespace

void append(std::vector<std::uint8_t>& out, std::uint32_t kind,
            const std::vector<ByteSpan>& payload) {
    const Frame frame = frameOf(kind, payload);
    out.insert(out.end(), frame.header.begin(), frame.header.end());
    for (const ByteSpan& piece : payload) {
        const auto* bytes = static_cast<const std::uint8_t*>(piece.data);
        out.insert(out.end(), bytes, bytes + piece.size);
    }
    out.insert(out.end(), frame.trailer.begin(), frame.trailer.end());
}

Outcome<bool> writeFile(const std::string& path, std::uint32_t kind,
                        const std::vector<ByteSpan>& payload) {
    const Frame frame = frameOf(kind, payload);
    const auto& h = frame.header;
    const auto& t = frame.trailer;
    std::vector<ByteSpan> pieces{{h.data(), h.size()}};
    pieces.insert(pieces.end(), payload.begin(), payload.end());
    pieces.push_back({t.data(), t.size()});
    return writeFileAtomically(path, pieces);
}

void putU8(std::vector<std::uint8_t>& out, std::uint8_t value) {
    out.push_back(value);
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t b[4];
    storeU32(b, value);
    out.insert(out.end(), b, b + 4);
}

void putU64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    putU32(out, static_cast<std::uint32_t>(value));
    putU32(out, static_cast<std::uint32_t>(value >> 32));
}

void putI32(std::vector<std::uint8_t>& out, std::int32_t value) {
    putU32(out, static_cast<std::uint32_t>(value));
}

void putI64(std::vector<std::uint8_t>& out, std::int64_t value) {
    putU64(out, static_cast<std::uint64_t>(value));
}

void putStamp(std::vector<std::uint8_t>& out, const FileStamp& stamp) {
    putU8(out, stamp.exists ? 1 : 0);
    putU64(out, stamp.device);
    putU64(out, stamp.inode);
    putU64(out, stamp.size);
    putI64(out, stamp.modifiedNs);
    putI64(out, stamp.changedNs);
}

void putText(std::vector<std::uint8_t>& out, const std::string& text) {
    putU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

const std::uint8_t* Fields::bytes(std::size_t size) {
    if (!m_ok || m_size - m_at < size) {
        m_ok = false;
        return nullptr;
    }
    const std::uint8_t* at = m_data + m_at;
    m_at += size;
    return at;
}

std::uint8_t Fields::u8() {
    const std::uint8_t* at = bytes(1);
    return at ? *at : 0;
}

std::uint32_t Fields::u32() {
    const std::uint8_t* at = bytes(4);
    return at ? loadU32(at) : 0;
}

std::uint64_t Fields::u64() {
    const std::uint8_t* at = bytes(8);
    return at ? loadU64(at) : 0;
}

std::int32_t Fields::i32() {
    return static_cast<std::int32_t>(u32());
}

std::int64_t Fields::i64() {
    return static_cast<std::int64_t>(u64());
}

FileStamp Fields::stamp() {
    FileStamp stamp;
    stamp.exists = u8() != 0;
    stamp.device = u64();
    stamp.inode = u64();
    stamp.size = u64();
    stamp.modifiedNs = i64();
    stamp.changedNs = i64();
    return stamp;
}

std::string Fields::text(std::size_t maxBytes) {
    const std::uint32_t size = u32();
    if (size > maxBytes) {
        m_ok = false;
        return {};
    }
    const std::uint8_t* at = bytes(size);
    return at ? std::string(reinterpret_cast<const char*>(at), size) : std::string();
}

}  // namespace record

// --- RecordReader.

RecordReader::~RecordReader() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

Outcome<bool> RecordReader::open(const std::string& path, std::uint64_t maxFileBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return Outcome<bool>::because(
            path + ": " + (errno == ELOOP ? "a symbolic link, not a file" : std::strerror(errno)));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return Outcome<bool>::because(path + ": not a file of this user's");
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxFileBytes) {
        ::close(fd);
        return Outcome<bool>::because(path + ": " + std::to_string(st.st_size) +
                                      " bytes, more than such a file holds");
    }
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_at = 0;
    m_payloadLeft = 0;
    m_recordEnd = 0;
    m_goodEnd = 0;
    return {true, {}};
}

bool RecordReader::readAt(void* into, std::size_t size) {
    if (size > m_size - m_at) {
        return false;
    }
    if (!readAllAt(m_fd, m_at, {{into, size}})) {
        return false;
    }
    m_at += size;
    return true;
}

RecordReader::Status RecordReader::next(std::uint32_t& kind, std::uint64_t& length) {
    if (m_fd < 0) {
        return Status::Damaged;
    }
    // Whatever of the last record was not read is skipped, unchecked: it does not count as good.
    m_at = std::max(m_at, m_recordEnd);
    m_payloadLeft = 0;
    if (m_at == m_size) {
        return Status::End;
    }
    std::uint8_t h[record::kHeaderBytes];
    if (m_size - m_at < sizeof h) {
        return Status::Torn;
    }
    if (!readAt(h, sizeof h)) {
        return Status::Damaged;
    }
    const auto expected = record::header(0, 0);
    if (std::memcmp(h, expected.data(), 4) != 0 ||
        record::Checksum::of(h, 16) !=
            (h[16] | h[17] << 8 | h[18] << 16 | std::uint32_t(h[19]) << 24)) {
        return Status::Damaged;
    }
    kind = h[4] | h[5] << 8 | h[6] << 16 | std::uint32_t(h[7]) << 24;
    length = 0;
    for (int i = 7; i >= 0; --i) {
        length = length << 8 | h[8 + i];
    }
    if (length > m_size - m_at || m_size - m_at - length < record::kTrailerBytes) {
        return Status::Torn;
    }
    m_payloadLeft = length;
    m_recordEnd = m_at + length + record::kTrailerBytes;
    m_checksum.reset();
    return Status::Record;
}

bool RecordReader::readPart(void* into, std::size_t size) {
    if (size > m_payloadLeft || !readAt(into, size)) {
        return false;
    }
    m_payloadLeft -= size;
    m_checksum.update(into, size);
    return true;
}

RecordReader::Status RecordReader::finishPayload() {
    if (m_payloadLeft != 0) {
        return Status::Damaged;
    }
    std::uint8_t t[record::kTrailerBytes];
    if (!readAt(t, sizeof t)) {
        return Status::Torn;
    }
    const auto expected = record::trailer(m_checksum.value());
    if (std::memcmp(t, expected.data(), sizeof t) != 0) {
        return Status::Damaged;
    }
    m_goodEnd = m_at;
    return Status::Record;
}

RecordReader::Status RecordReader::readPayload(std::vector<std::uint8_t>& payload,
                                               std::uint64_t maxBytes) {
    if (m_payloadLeft > maxBytes || m_payloadLeft > std::numeric_limits<std::size_t>::max()) {
        return Status::Damaged;
    }
    payload.resize(static_cast<std::size_t>(m_payloadLeft));
    if (!readPart(payload.data(), payload.size())) {
        return Status::Damaged;
    }
    return finishPayload();
}

// --- AppendFile.

AppendFile::~AppendFile() {
    close();
}

void AppendFile::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

Outcome<bool> AppendFile::create(const std::string& path) {
    close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        return Outcome<bool>::because(path + ": " + std::strerror(errno));
    }
    m_path = path;
    m_size = 0;
    return {true, {}};
}

Outcome<bool> AppendFile::openAt(const std::string& path, std::uint64_t goodEnd) {
    close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (m_fd < 0 || ::ftruncate(m_fd, static_cast<off_t>(goodEnd)) != 0) {
        Outcome<bool> failed = Outcome<bool>::because(path + ": " + std::strerror(errno));
        close();
        return failed;
    }
    m_path = path;
    m_size = goodEnd;
    return {true, {}};
}

Outcome<bool> AppendFile::append(const std::vector<ByteSpan>& pieces) {
    if (m_fd < 0) {
        return Outcome<bool>::because("no file to append to");
    }
    std::uint64_t at = m_size;
    bool ok = true;
    for (const ByteSpan& piece : pieces) {
        const auto* bytes = static_cast<const std::uint8_t*>(piece.data);
        std::size_t left = piece.size;
        while (ok && left > 0) {
            const ssize_t n = ::pwrite(m_fd, bytes, left, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok = false;
                break;
            }
            bytes += n;
            left -= static_cast<std::size_t>(n);
            at += static_cast<std::uint64_t>(n);
        }
    }
    if (ok && ::fdatasync(m_fd) != 0) {
        ok = false;
    }
    if (!ok) {
        const int err = errno != 0 ? errno : EIO;
        // Cut the torn bytes off again; should that fail too, the reader still stops at them.
        (void)::ftruncate(m_fd, static_cast<off_t>(m_size));
        return Outcome<bool>::because(m_path + ": " + std::strerror(err));
    }
    m_size = at;
    return {true, {}};
}

}  // namespace platform
