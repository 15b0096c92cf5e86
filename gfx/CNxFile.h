#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A binary file for the image decoders: reads go through a buffer of its own, so that the many
// small reads of a decoder cost a copy rather than a system call each.
class CNxFile {
public:
    // Bits of the open mode.
    enum : unsigned {
        modeRead = 1,
        modeWrite = 2,
        modeReadWrite = 3,  // mode & 3 selects the access; 0 is refused
        modeCreate = 4,     // create: with modeNoTruncate open-or-create, else truncate
        modeNoTruncate = 8,
        modeShareExclusive = 0x10,  // nobody else may open the file meanwhile
        modeShareDenyWrite = 0x20,  // others may only read
    };
    // Seek origins.
    enum { seekBegin = 0, seekCurrent = 1, seekEnd = 2 };

    CNxFile();
    virtual ~CNxFile();
    CNxFile(const CNxFile&) = delete;
    CNxFile& operator=(const CNxFile&) = delete;

    // Opens fileName with mode. 0 for a mode without access bits, a file that cannot be opened
    // or locked as the share bits ask, or an object that already holds a file (it keeps it).
    virtual int Open(const char* fileName, unsigned mode);
    // Reads size bytes at data as if they were a file called name, for decoding what is already
    // in memory. The bytes are borrowed and must outlive the object's use of them; writing is
    // not possible. 0 when the object already holds a file or data is null with a size.
    int OpenMemory(const void* data, std::size_t size, const char* name = "");
    // Bytes read (fewer at the end of the file), -1 on an error or when closed.
    std::int64_t Read(void* buffer, std::int64_t count);
    // The new position, -1 when it would be negative, the origin is unknown or the file is closed.
    std::int64_t Seek(std::int64_t offset, int origin);
    // The length of the file, -1 when closed; the position is left where it was.
    std::int64_t Size();
    // 1 when a file was open and is now closed, 0 otherwise.
    int Close();
    // Copies the name with its terminator when size can hold it, otherwise exactly size bytes
    // without one; returns the bytes copied, the name's length when buffer is null, -1 when
    // closed.
    int GetFileName(char* buffer, int size) const;
    // The name, empty when closed.
    std::string GetFileName() const;
    bool IsOpen() const { return m_fd >= 0 || m_memory != nullptr; }

private:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    bool fill();

    int m_fd = -1;
    std::string m_name;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    // The borrowed bytes of OpenMemory, which then stand as the one window over the whole file.
    const std::uint8_t* m_memory = nullptr;
    std::size_t m_memorySize = 0;
    const std::uint8_t* m_window = nullptr;  // m_buffer's bytes or m_memory
    std::int64_t m_bufferStart = 0;          // file offset of m_buffer[0]
    std::size_t m_bufferLength = 0;          // valid bytes in the buffer
    std::size_t m_bufferPos = 0;             // the file position is m_bufferStart + m_bufferPos
};
