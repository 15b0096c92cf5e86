#include "app/core/RecoveredWork.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "chips/KindTable.h"
#include "platform/RecordFile.h"

namespace recovery {

namespace {

using platform::record::Fields;

constexpr std::uint32_t kKinds = platform::record::kind("KTAB");
constexpr std::uint32_t kPlayer = platform::record::kind("PLYR");
constexpr std::uint32_t kSession = platform::record::kind("SESS");
constexpr std::size_t kMaxPath = 4096;
constexpr std::size_t kMaxPlayerText = 16u << 20;

}  // namespace

std::vector<std::uint8_t> kindsPayload(bool modified, const std::string& path,
                                       const platform::FileStamp& stamp,
                                       const std::vector<KindRecord>& records) {
    using namespace platform::record;
    std::vector<std::uint8_t> out;
    putU8(out, modified ? 1 : 0);
    putText(out, path);
    putStamp(out, stamp);
    putU32(out, static_cast<std::uint32_t>(records.size()));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(records.data());
    out.insert(out.end(), bytes, bytes + records.size() * sizeof(KindRecord));
    return out;
}

std::vector<std::uint8_t> playerPayload(bool modified, const std::string& text, int frames) {
    using namespace platform::record;
    std::vector<std::uint8_t> out;
    putU8(out, modified ? 1 : 0);
    putU32(out, static_cast<std::uint32_t>(frames));
    putText(out, text);
    return out;
}

std::vector<std::uint8_t> sessionPayload(const std::string& chipPath) {
    std::vector<std::uint8_t> out;
    platform::record::putText(out, chipPath);
    return out;
}

std::vector<std::uint8_t> withTime(std::vector<std::uint8_t> payload, std::int64_t timeMs) {
    platform::record::putI64(payload, timeMs);
    return payload;
}

std::uint32_t kindsKind() {
    return kKinds;
}
std::uint32_t playerKind() {
    return kPlayer;
}
std::uint32_t sessionKind() {
    return kSession;
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string timeText(std::int64_t timeMs) {
    const std::time_t seconds = static_cast<std::time_t>(timeMs / 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return text;
}

}  // namespace recovery

std::int64_t RecoveredWork::lastTimeMs() const {
    std::int64_t time = 0;
    if (hasMap()) {
        time = std::max(time, map.timeMs);
    }
    if (hasKinds()) {
        time = std::max(time, kinds.timeMs);
    }
    if (hasPlayer()) {
        time = std::max(time, player.timeMs);
    }
    return time;
}

RecoveredWork RecoveredWork::read(const std::string& folder,
                                  const std::vector<std::string>& names) {
    using namespace recovery;
    RecoveredWork work;
    work.folder = folder;
    work.map = readRecoveredMap(folder, names);
    work.problems = work.map.problems;
    const auto has = [&names](const char* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    work.restoreFailed = has(kRestoringFile);

    const auto item = [&work](std::uint32_t kind) -> const std::vector<std::uint8_t>* {
        const auto found = work.map.items.find(kind);
        return found == work.map.items.end() ? nullptr : &found->second;
    };
    if (const std::vector<std::uint8_t>* payload = item(kKinds)) {
        Fields fields(*payload);
        Kinds& kinds = work.kinds;
        kinds.modified = fields.u8() != 0;
        kinds.path = fields.text(kMaxPath);
        kinds.stamp = fields.stamp();
        const std::uint64_t count = fields.u32();
        const std::uint8_t* bytes = count <= fields.remaining() / sizeof(KindRecord)
                                        ? fields.bytes(count * sizeof(KindRecord))
                                        : nullptr;
        kinds.timeMs = fields.i64();
        kinds.found = bytes != nullptr && fields.atEnd();
        if (kinds.found) {
            kinds.records.resize(count);
            std::memcpy(kinds.records.data(), bytes, count * sizeof(KindRecord));
        } else {
            work.problems.push_back("the attribute table's record is damaged");
        }
    }
    if (const std::vector<std::uint8_t>* payload = item(kPlayer)) {
        Fields fields(*payload);
        Player& player = work.player;
        player.modified = fields.u8() != 0;
        player.frames = static_cast<int>(std::min<std::uint32_t>(fields.u32(), 1000));
        player.text = fields.text(kMaxPlayerText);
        player.timeMs = fields.i64();
        player.found = fields.atEnd();
        if (!player.found) {
            player.text.clear();
            work.problems.push_back("the player's frames' record is damaged");
        }
    }
    if (const std::vector<std::uint8_t>* payload = item(kSession)) {
        Fields fields(*payload);
        work.session.chipPath = fields.text(kMaxPath);
        work.session.timeMs = fields.i64();
        work.session.found = fields.atEnd();
    }
    return work;
}
