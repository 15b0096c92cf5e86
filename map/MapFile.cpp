#include "map/MapFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "chunkfile/ChunkScanner.h"
#include "chunkfile/ChunkWriter.h"
#include "platform/MessagePort.h"
#include "platform/Paths.h"
#include "platform/TextNumbers.h"

namespace {

const char kTag[] = "MAPB";
const char kLoadErrorTitle[] = "マップ読み込みエラー";

// Reads one layer of rows × columns cells from the chunk's data at offset at, straight into
// the rows: the file's bytes are copied once, to where they stay.
bool readLayer(const ChunkScanner& file, const ChunkScanner::Chunk& chunk, std::uint64_t at,
               MapGrid::Layer& layer, int columns, int rows) {
    const std::size_t rowBytes = static_cast<std::size_t>(columns) * 4;
    layer.resize(rows);
    std::vector<platform::MutableSpan> targets;
    targets.reserve(rows);
    for (MapGrid::Row& row : layer) {
        row.resize(columns);  // left unset: the read below fills every cell
        targets.push_back({row.data(), rowBytes});
    }
    return file.readScattered(chunk, at, targets);
}

// A file read as a text stream: a CR right before a LF is dropped.
class TextStream {
public:
    explicit TextStream(std::FILE* file) : m_file(file) {}

    int get() {
        const int c = getc_unlocked(m_file);
        if (c != '\r') {
            return c;
        }
        const int next = getc_unlocked(m_file);
        if (next == '\n') {
            return '\n';
        }
        if (next != EOF) {
            ungetc(next, m_file);
        }
        return c;
    }

    // Reads one line as fgets does into a buffer of 512: at most 511 characters, the line feed
    // included when it fits. False at the end of the file with nothing read.
    bool line(std::string& text) {
        text.clear();
        while (text.size() < 511) {
            const int c = get();
            if (c == EOF) {
                return !text.empty();
            }
            text += static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        return true;
    }

private:
    std::FILE* m_file;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string tooLargeText(const std::string& path) {
    return path + "\nマップが大きすぎます（縦横それぞれ" + std::to_string(MapGrid::kMaxCanvas) +
           "個までです）";
}

}  // namespace

MapFile::BinaryResult MapFile::loadBinary(const std::string& path, MapGrid& grid, Header* header) {
    // The chunk is read straight into the rows: a large map is not held in memory twice.
    ChunkScanner file(path);
    const ChunkScanner::Chunk* chunk = file.find(kTag);
    if (chunk == nullptr) {
        return BinaryResult::NoChunk;
    }
    std::int32_t fields[4];
    if (!file.read(*chunk, 0, fields, sizeof fields)) {
        return BinaryResult::Damaged;
    }
    const std::int32_t chipWidth = fields[0], chipHeight = fields[1];
    const std::int32_t columns = fields[2], rows = fields[3];
    if (columns < 0 || rows < 0 || columns > MapGrid::kMaxCanvas || rows > MapGrid::kMaxCanvas) {
        return BinaryResult::Damaged;
    }
    // Both counts are at most 5000 here, so the product cannot overflow 64 bits.
    const std::uint64_t layerBytes = 4ull * static_cast<std::uint64_t>(rows) * columns;
    if (chunk->length - 16 < 2 * layerBytes) {
        return BinaryResult::Damaged;
    }

    MapGrid::Layer chips, kinds;
    if (!readLayer(file, *chunk, 16, chips, columns, rows) ||
        !readLayer(file, *chunk, 16 + layerBytes, kinds, columns, rows)) {
        return BinaryResult::Damaged;
    }
    grid.assign(std::move(chips), std::move(kinds), columns, rows);
    if (header != nullptr) {
        header->format = Format::Binary;
        header->chipWidth = chipWidth;
        header->chipHeight = chipHeight;
    }
    return BinaryResult::Loaded;
}

bool MapFile::loadText(const std::string& path, MapGrid& grid, platform::MessagePort& port,
                       platform::NativeWindow* owner, Header* header) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        port.showError(owner, "マップデータが開けません", kLoadErrorTitle);
        return false;
    }
    TextStream in(file.get());
    std::string line;
    in.line(line);
    if (line.compare(0, 4, "MAPT") != 0) {
        port.showError(owner, "マップ配置データのＩＤが異なっています", kLoadErrorTitle);
        return false;
    }
    // Lines 2 to 6: chip width, chip height, columns, rows and an empty line. The counts are
    // overruled by the rows that follow; the chip size is only reported.
    Header found;
    found.format = Format::Text;
    for (int n = 2; n <= 6; ++n) {
        in.line(line);
        if (n == 2) {
            found.chipWidth = platform::decimalValue(line);
        } else if (n == 3) {
            found.chipHeight = platform::decimalValue(line);
        }
    }

    // The rows are built apart and only replace the map once the whole file has been read.
    MapGrid::Layer chips;
    MapGrid::Row row;
    std::string parts[2];  // the chip part and the count part of the token being read
    int part = 0;
    std::size_t expected = 0;
    int lineNumber = 7;

    auto flushToken = [&]() -> bool {
        const std::int32_t chip =
            parts[0].empty() || parts[0][0] != '0' ? platform::decimalValue(parts[0]) : 0;
        const std::int32_t count = part == 1 ? platform::decimalValue(parts[1]) : 1;
        if (count > 0) {
            if (static_cast<std::int64_t>(row.size()) + count > MapGrid::kMaxCanvas) {
                return false;
            }
            row.insert(row.end(), static_cast<std::size_t>(count), chip);
        }
        parts[0].clear();
        parts[1].clear();
        part = 0;
        return true;
    };

    for (;;) {
        const int c = in.get();
        if (c == EOF) {
            break;  // what follows the last line feed is not a row
        }
        if (c == ',') {
            if (!flushToken()) {
                port.showError(owner, tooLargeText(path), kLoadErrorTitle);
                return false;
            }
        } else if (c == '\n') {
            if (!parts[0].empty() && !flushToken()) {
                port.showError(owner, tooLargeText(path), kLoadErrorTitle);
                return false;
            }
            if (expected == 0) {
                expected = row.size();
            } else if (!row.empty() && row.size() != expected) {
                char counts[256];
                std::snprintf(counts, sizeof counts, "\n\n%s%zu個\n%s%zu個\n\n%s%d", "正しい個数：",
                              expected, "間違っている個数：", row.size(), "発見した行数：",
                              lineNumber);
                port.showError(owner, path + "\nチップの個数が異なる行があります" + counts,
                               kLoadErrorTitle);
                return false;
            }
            if (!row.empty()) {
                if (chips.size() >= static_cast<std::size_t>(MapGrid::kMaxCanvas)) {
                    port.showError(owner, tooLargeText(path), kLoadErrorTitle);
                    return false;
                }
                chips.push_back(std::move(row));
            }
            row.clear();
            parts[0].clear();
            parts[1].clear();
            part = 0;
            ++lineNumber;
        } else if (c == '*') {
            part = 1;  // a further "*" starts the count part again
            parts[1].clear();
        } else if (parts[part].size() < 15) {
            parts[part] += static_cast<char>(c);
        }
    }

    const int columns = static_cast<int>(expected);
    const int rows = static_cast<int>(chips.size());
    // A text map carries no attributes: every cell gets the default one.
    MapGrid::Layer kinds(rows, MapGrid::Row(columns, MapGrid::kDefaultKind));
    grid.assign(std::move(chips), std::move(kinds), columns, rows);
    if (header != nullptr) {
        *header = found;
    }
    return true;
}

MapFile::Format MapFile::load(const std::string& path, MapGrid& grid, platform::MessagePort& port,
                              platform::NativeWindow* owner, Header* header) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
        port.showError(owner, tooLargeText(path), kLoadErrorTitle);
        return Format::None;
    }
    try {
        switch (loadBinary(path, grid, header)) {
            case BinaryResult::Loaded:
                return Format::Binary;
            case BinaryResult::Damaged:
                port.showError(owner, path + "\nマップデータが壊れています", kLoadErrorTitle);
                return Format::None;
            case BinaryResult::NoChunk:
                break;
        }
        return loadText(path, grid, port, owner, header) ? Format::Text : Format::None;
    } catch (const std::bad_alloc&) {
        // The layers are built apart from the grid, which is still as it was.
        port.showError(owner, tooLargeText(path), kLoadErrorTitle);
        return Format::None;
    }
}

bool MapFile::save(std::string& path, MapGrid& grid) {
    path = platform::forceExtension(path, ".map");

    // The chunk's data are the four header fields and then both layers row by row; the rows
    // are written from where they lie rather than copied into one buffer first.
    const std::int32_t fields[4] = {grid.chipWidth(), grid.chipHeight(), grid.columns(),
                                    grid.rows()};
    const std::size_t rowBytes = static_cast<std::size_t>(grid.columns()) * 4;
    std::vector<platform::ByteSpan> pieces;
    pieces.reserve(1 + 2 * static_cast<std::size_t>(grid.rows()));
    pieces.push_back({fields, sizeof fields});
    for (const MapGrid::Layer* layer : {&grid.chipLayer(), &grid.kindLayer()}) {
        for (const MapGrid::Row& row : *layer) {
            pieces.push_back({row.data(), rowBytes});
        }
    }

    grid.setFileBacked(true);
    ChunkWriter writer;
    return writer.AddPieces(kTag, std::move(pieces)) && writer.Save(path);
}
