#include "chips/KindTable.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <random>

#include "map/ChunkData.h"
#include "map/ChunkReader.h"
#include "map/ChunkWriter.h"
#include "platform/Paths.h"

namespace {

const char kTag[] = "KIND";
constexpr std::uint32_t kRecordBytes = sizeof(KindRecord);

}  // namespace

KindTable::KindTable() {
    resetToDefaults();
}

void KindTable::resetToDefaults() {
    resetToDefaults(static_cast<unsigned>(std::time(nullptr)));
}

void KindTable::resetToDefaults(unsigned seed) {
    std::minstd_rand random(seed);
    KindRecord blank;
    blank.setMemoText("属性未定義");
    m_records.clear();
    m_records.reserve(kDefaultCount);
    for (int i = 0; i < kDefaultCount; ++i) {
        KindRecord record = blank;
        record.number = i;
        record.red = static_cast<std::uint8_t>(random() % 256);
        record.green = static_cast<std::uint8_t>(random() % 256);
        record.blue = static_cast<std::uint8_t>(random() % 256);
        m_records.push_back(record);
    }
}

bool KindTable::loadFile(const std::string& path) {
    ChunkReader reader(path);
    ChunkData* data = reader.Find(kTag);
    if (data == nullptr) {
        return false;
    }
    data->SetCursor(0);
    std::int32_t n;
    if (!data->ReadInt32(n)) {
        return false;
    }
    const std::uint64_t count = n > 0 ? static_cast<std::uint64_t>(n) : 0;
    if (data->Remaining() < count * kRecordBytes) {
        return false;
    }
    std::vector<KindRecord> records(count);
    for (KindRecord& record : records) {
        data->Read(&record, kRecordBytes);
    }
    m_records = std::move(records);
    return true;
}

bool KindTable::saveFile(std::string& path) const {
    path = platform::forceExtension(path, ".knd");
    if (m_records.size() > (UINT32_MAX - 4) / kRecordBytes) {
        return false;  // more than a chunk's 32-bit length can describe
    }
    auto data = std::make_unique<ChunkData>();
    data->AddSize(4 + kRecordBytes * static_cast<std::uint32_t>(m_records.size()));
    data->Allocate();
    data->WriteInt32(count());
    for (const KindRecord& record : m_records) {
        data->Write(&record, kRecordBytes);
    }
    data->SetCursor(0);
    ChunkWriter writer;
    writer.Add(kTag, std::move(data));
    return writer.Save(path);
}
