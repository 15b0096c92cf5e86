#include "chunkfile/ChunkData.h"

#include <cstring>

ChunkData::ChunkData(const void* bytes, std::uint32_t length)
    : m_data(static_cast<std::uint8_t*>(const_cast<void*>(bytes))), m_size(length) {}

ChunkData::~ChunkData() = default;

void ChunkData::AddSize(std::uint32_t n) {
    m_size += n;
}

void ChunkData::Allocate() {
    m_cursor = 0;
    m_block.reset(new std::uint8_t[m_size > 0 ? m_size : 1]);
    m_data = m_block.get();
}

void ChunkData::Resize(std::uint32_t n) {
    Release();
    m_size = n;
    Allocate();
}

void ChunkData::Release() {
    m_block.reset();
    m_data = nullptr;
    m_size = 0;
    m_cursor = 0;
}

bool ChunkData::Write(const void* source, std::uint32_t n) {
    if (n > Remaining()) {
        return false;
    }
    if (n > 0) {
        std::memcpy(m_data + m_cursor, source, n);
    }
    m_cursor += n;
    return true;
}

bool ChunkData::Read(void* target, std::uint32_t n) {
    if (n > Remaining()) {
        return false;
    }
    if (n > 0) {
        std::memcpy(target, m_data + m_cursor, n);
    }
    m_cursor += n;
    return true;
}
