#include "chips/KindTable.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <random>

#include "chunkfile/ChunkData.h"
#include "chunkfile/ChunkScanner.h"
#include "chunkfile/ChunkWriter.h"
#include "platform/Paths.h"
#include "platform/Texts.h"

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
    markSaved();
}

bool KindTable::isModified() const {
    return m_records.size() != m_saved.size() ||
           (!m_records.empty() &&
            std::memcmp(m_records.data(), m_saved.data(), m_records.size() * kRecordBytes) != 0);
}

platform::Outcome<bool> KindTable::load(const std::string& path,
                                        const platform::Language& language) {
    enum Why { Unreadable, TooLarge };
    const auto failed = [&](Why why) {
        return platform::Outcome<bool>::failure(
            why == TooLarge
                ? language.formatText(PELORIN_TEXT("%s\n属性ファイルが大きすぎます"), path.c_str())
                : language.formatText(PELORIN_TEXT("%s\n属性ファイルとして読めません"),
                                      path.c_str()),
            PELORIN_TEXT("属性読み込みエラー"));
    };
    // The records are read straight from the file: only what the chunk holds is allocated.
    ChunkScanner file(path);
    if (file.size() > static_cast<std::int64_t>(kMaxFileBytes)) {
        return failed(TooLarge);
    }
    const ChunkScanner::Chunk* chunk = file.find(kTag);
    std::int32_t n;
    if (chunk == nullptr || !file.read(*chunk, 0, &n, sizeof n)) {
        return failed(Unreadable);
    }
    const std::uint64_t count = n > 0 ? static_cast<std::uint64_t>(n) : 0;
    if (chunk->length - 4 < count * kRecordBytes) {
        return failed(Unreadable);
    }
    try {
        std::vector<KindRecord> records(count);
        if (!file.read(*chunk, 4, records.data(), count * kRecordBytes)) {
            return failed(Unreadable);
        }
        m_records = std::move(records);
        markSaved();
    } catch (const std::bad_alloc&) {
        return failed(TooLarge);
    }
    return {true, {}};
}

platform::Outcome<bool> KindTable::save(std::string& path,
                                        const platform::Language& language) const {
    path = platform::forceExtension(path, ".knd");
    std::string why = "the table has more records than a chunk can hold";
    if (m_records.size() <= (UINT32_MAX - 4) / kRecordBytes) {
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
        const platform::Outcome<bool> saved = writer.Save(path);
        if (saved.value) {
            markSaved();
            return saved;
        }
        why = saved.why();
    }
    return platform::Outcome<bool>::failure(
        language.formatText(PELORIN_TEXT("属性ファイル「%s」を保存できませんでした\n%s"),
                            path.c_str(), why.c_str()),
        PELORIN_TEXT("保存エラー"));
}
