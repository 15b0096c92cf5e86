#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileIo.h"
#include "platform/FileStamp.h"

namespace platform {

// Records: the unit the editor's recovery data is kept in. A record is a header, the payload and
// a trailer:
//
//   header   "PLRR", kind (4 bytes), payload length (u64), checksum of the 16 bytes before it
//   payload  length bytes
//   trailer  checksum of the payload, "PLRE"
//
// The checksum is the low 32 bits of XXH3-64: it reads a snapshot of the largest map in a
// fraction of the time a CRC takes, which matters when the work comes back.
//
// all little-endian. A file is one or more records back to back. The header's own checksum lets
// a reader refuse a damaged length before it trusts it, and the trailer lets a writer stream a
// payload whose checksum it learns only at its end. A record torn by a crash or a full disk fails
// one of the checks and is never taken for a whole one.
namespace record {

constexpr std::size_t kHeaderBytes = 20;
constexpr std::size_t kTrailerBytes = 8;

// The four-character kinds, as a number in file order ("MAPB" → 'M' in the lowest byte).
constexpr std::uint32_t kind(const char (&tag)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(tag[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[3])) << 24;
}

// A checksum taken over bytes given in pieces.
class Checksum {
public:
    Checksum();
    ~Checksum();
    Checksum(const Checksum&) = delete;
    Checksum& operator=(const Checksum&) = delete;

    void reset();
    void update(const void* data, std::size_t size);
    std::uint32_t value() const;
    static std::uint32_t of(const void* data, std::size_t size);

private:
    void* m_state;
};

std::array<std::uint8_t, kHeaderBytes> header(std::uint32_t kind, std::uint64_t length);
std::array<std::uint8_t, kTrailerBytes> trailer(std::uint32_t payloadCrc);

// Appends one whole record to out.
void append(std::vector<std::uint8_t>& out, std::uint32_t kind,
            const std::vector<ByteSpan>& payload);

// Writes path as one record, atomically (see writeFileAtomically).
Outcome<bool> writeFile(const std::string& path, std::uint32_t kind,
                        const std::vector<ByteSpan>& payload);

// Little-endian fields of payloads.
void putU8(std::vector<std::uint8_t>& out, std::uint8_t value);
void putU32(std::vector<std::uint8_t>& out, std::uint32_t value);
void putU64(std::vector<std::uint8_t>& out, std::uint64_t value);
void putI32(std::vector<std::uint8_t>& out, std::int32_t value);
void putI64(std::vector<std::uint8_t>& out, std::int64_t value);
// A u32 byte count, then the bytes.
void putText(std::vector<std::uint8_t>& out, const std::string& text);
// Whether the file exists (u8), its device, inode and size (u64) and its two times (i64).
void putStamp(std::vector<std::uint8_t>& out, const FileStamp& stamp);

// Reads those fields from a payload, never past its end: once a read fails, every later one
// fails too, so a reader checks ok() once after a group of fields.
class Fields {
public:
    Fields(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit Fields(const std::vector<std::uint8_t>& bytes) : Fields(bytes.data(), bytes.size()) {}

    std::uint8_t u8();
    std::uint32_t u32();
    std::uint64_t u64();
    std::int32_t i32();
    std::int64_t i64();
    // At most maxBytes; longer counts fail.
    std::string text(std::size_t maxBytes);
    FileStamp stamp();
    // The next size bytes, or null (and failure) when fewer remain.
    const std::uint8_t* bytes(std::size_t size);

    bool ok() const { return m_ok; }
    std::size_t remaining() const { return m_ok ? m_size - m_at : 0; }
    bool atEnd() const { return m_ok && m_at == m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
    bool m_ok = true;
};

}  // namespace record

// Reads the records of one file in order. Nothing it reads is trusted beyond the file's size:
// a length that reaches past the end is a torn record, not an allocation.
class RecordReader {
public:
    enum class Status {
        Record,   // next(): a whole header was read; the payload follows
        End,      // no more bytes: the file ends after the last record
        Torn,     // the file ends inside a record (a crash while it was written)
        Damaged,  // bytes that are no record, or a checksum that does not match
    };

    RecordReader() = default;
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Opens path for reading: a regular file of this user's (a symbolic link is refused, not
    // followed) of at most maxFileBytes. False with one notice saying why.
    Outcome<bool> open(const std::string& path, std::uint64_t maxFileBytes);

    // The next record's header.
    Status next(std::uint32_t& kind, std::uint64_t& length);
    // The whole payload of the record next() found, at most maxBytes (Damaged beyond that), its
    // trailer checked.
    Status readPayload(std::vector<std::uint8_t>& payload, std::uint64_t maxBytes);
    // Or the payload in parts, checked at finishPayload. readPart fails past the payload's end.
    bool readPart(void* into, std::size_t size);
    Status finishPayload();

    std::uint64_t fileSize() const { return m_size; }
    // Where the last whole record read ends: a journal cut back to it loses only torn bytes.
    std::uint64_t goodEnd() const { return m_goodEnd; }

private:
    bool readAt(void* into, std::size_t size);

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::uint64_t m_at = 0;
    std::uint64_t m_payloadLeft = 0;
    std::uint64_t m_recordEnd = 0;
    record::Checksum m_checksum;
    std::uint64_t m_goodEnd = 0;
};

// A file records are appended to, each append flushed to disk before it counts. An append that
// fails is cut off again, so the file always ends after its last whole record.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Creates path (which must not exist) or opens it to append after its first goodEnd bytes,
    // cutting off what follows. False with one notice saying why.
    Outcome<bool> create(const std::string& path);
    Outcome<bool> openAt(const std::string& path, std::uint64_t goodEnd);
    bool isOpen() const { return m_fd >= 0; }
    void close();

    // Writes the bytes at the end and flushes them; on failure the file is cut back to where it
    // ended and the notice says why.
    Outcome<bool> append(const std::vector<ByteSpan>& pieces);
    std::uint64_t size() const { return m_size; }

private:
    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_size = 0;
};

}  // namespace platform
