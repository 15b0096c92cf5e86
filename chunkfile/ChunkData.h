#pragma once

#include <cstdint>
#include <memory>

// A byte buffer with a cursor: a chunk's data as it is built for writing or read field by field.
// Reads and writes stay within Size() bytes: one that would pass the end is refused, changes
// nothing and returns false, so that a damaged file makes its load fail instead of reading on.
class ChunkData {
public:
    ChunkData() = default;
    ChunkData(const void* bytes, std::uint32_t length);  // wraps bytes without owning them
    virtual ~ChunkData();

    ChunkData(const ChunkData&) = delete;
    ChunkData& operator=(const ChunkData&) = delete;

    void AddSize(std::uint32_t n);  // totals the bytes to write before Allocate
    void Allocate();                // a fresh owned block of Size() bytes, cursor 0
    void Resize(std::uint32_t n);   // Release, then n bytes allocated
    void Release();

    bool Write(const void* source, std::uint32_t n);
    bool Read(void* target, std::uint32_t n);

    // Convenience forms for the 32-bit little-endian fields every format uses.
    bool WriteInt32(std::int32_t value) { return Write(&value, 4); }
    bool ReadInt32(std::int32_t& value) { return Read(&value, 4); }

    void SetCursor(std::uint32_t position) { m_cursor = position; }
    std::uint32_t Cursor() const { return m_cursor; }
    std::uint8_t* Current() const { return m_data + m_cursor; }
    std::uint8_t* Data() const { return m_data; }
    std::uint32_t Size() const { return m_size; }
    // Bytes between the cursor and the end (0 when the cursor stands past the end).
    std::uint32_t Remaining() const { return m_cursor < m_size ? m_size - m_cursor : 0; }

private:
    // The bytes: the block of its own, or those it wraps. The block is left uninitialised, since
    // every byte is written before it is used; a vector would clear it first.
    std::unique_ptr<std::uint8_t[]> m_block;
    std::uint8_t* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_cursor = 0;
};

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the file formats are little-endian and are copied to and from memory as they are");
