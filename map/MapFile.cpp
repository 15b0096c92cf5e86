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
#include "platform/Texts.h"

namespace {

const char kTag[] = "MAPB";
const char kLoadErrorTitle[] = PELORIN_TEXT("マップ読み込みエラー");

// Reads one layer of rows × columns cells from the chunk's data at offset at, straight into
// the rows: the file's bytes are copied once, to where they stay.
bool readLayer(const ChunkScanner& file, const ChunkScanner::Chunk& chunk, std::uint64_t at,
               MapGrid::Layer& layer, int columns, int rows, const platform::Progress& progress) {
    const std::size_t rowBytes = static_cast<std::size_t>(columns) * 4;
    layer.resize(rows);
    std::vector<platform::MutableSpan> targets;
    targets.reserve(rows);
    for (MapGrid::Row& row : layer) {
        row.resize(columns);  // left unset: the read below fills every cell
        targets.push_back({row.data(), rowBytes});
    }
    return file.readScattered(chunk, at, targets, progress);
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

std::string tooLargeText(const platform::Language& language, const std::string& path) {
    return language.formatText(PELORIN_TEXT("%s\nマップが大きすぎます（縦横それぞれ%d個までです）"),
                               path.c_str(), MapGrid::kMaxCanvas);
}

// Lines 1 to 6 of a text map: "MAPT", chip width, chip height, columns, rows and an empty line.
// The counts are overruled by the rows that follow; the chip size is only reported. False when
// the first line is not a text map's.
bool readTextHeader(TextStream& in, MapFile::Header& header) {
    std::string line;
    in.line(line);
    if (line.compare(0, 4, "MAPT") != 0) {
        return false;
    }
    header.format = MapFile::Format::Text;
    for (int n = 2; n <= 6; ++n) {
        in.line(line);
        if (n == 2) {
            header.chipWidth = platform::decimalValue(line);
        } else if (n == 3) {
            header.chipHeight = platform::decimalValue(line);
        }
    }
    return true;
}

// The cell lines of a text map, character by character: tokens "chip" or "chip*count" separated
// by commas, rows ended by a line feed, empty lines skipped. Every row must be as long as the
// first, and the map no larger than the canvas.
class TextRows {
public:
    // False when the map cannot be taken; errorText then says why.
    bool add(int c) {
        if (c == ',') {
            return flushToken();
        }
        if (c == '\n') {
            return (m_parts[0].empty() || flushToken()) && endRow();
        }
        if (c == '*') {
            m_part = 1;  // a further "*" starts the count part again
            m_parts[1].clear();
        } else if (m_parts[m_part].size() < 15) {
            m_parts[m_part] += static_cast<char>(c);
        }
        return true;
    }

    int columns() const { return static_cast<int>(m_expected); }
    MapGrid::Layer& cells() { return m_cells; }

    std::string errorText(const platform::Language& language, const std::string& path) const {
        if (!m_wrongLength) {
            return tooLargeText(language, path);
        }
        return language.formatText(PELORIN_TEXT("%s\nチップの個数が異なる行があります\n\n"
                                                "正しい個数：%zu個\n間違っている個数：%zu個\n\n"
                                                "発見した行数：%d"),
                                   path.c_str(), m_expected, m_row.size(), m_line);
    }

private:
    bool flushToken() {
        const std::int32_t chip =
            m_parts[0].empty() || m_parts[0][0] != '0' ? platform::decimalValue(m_parts[0]) : 0;
        const std::int32_t count = m_part == 1 ? platform::decimalValue(m_parts[1]) : 1;
        if (count > 0) {
            if (static_cast<std::int64_t>(m_row.size()) + count > MapGrid::kMaxCanvas) {
                return false;
            }
            m_row.insert(m_row.end(), static_cast<std::size_t>(count), chip);
        }
        clearToken();
        return true;
    }

    bool endRow() {
        if (m_expected == 0) {
            m_expected = m_row.size();
        } else if (!m_row.empty() && m_row.size() != m_expected) {
            m_wrongLength = true;
            return false;
        }
        if (!m_row.empty()) {
            if (m_cells.size() >= static_cast<std::size_t>(MapGrid::kMaxCanvas)) {
                return false;
            }
            m_cells.push_back(std::move(m_row));
        }
        m_row.clear();
        clearToken();
        ++m_line;
        return true;
    }

    void clearToken() {
        m_parts[0].clear();
        m_parts[1].clear();
        m_part = 0;
    }

    MapGrid::Layer m_cells;
    MapGrid::Row m_row;
    std::string m_parts[2];  // the chip part and the count part of the token being read
    int m_part = 0;
    std::size_t m_expected = 0;  // the first row's length
    int m_line = 7;              // of the file, for the message
    bool m_wrongLength = false;
};

}  // namespace

MapFile::BinaryResult MapFile::loadBinary(const std::string& path, MapGrid& grid, Header* header,
                                          const platform::Progress& progress) {
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

    // The two layers as one transfer, for whoever follows it.
    const auto half = [&progress, layerBytes](std::uint64_t before) -> platform::Progress {
        if (!progress) {
            return {};
        }
        return [&progress, layerBytes, before](std::uint64_t done, std::uint64_t) {
            progress(before + done, 2 * layerBytes);
        };
    };
    MapGrid::Layer chips, kinds;
    if (!readLayer(file, *chunk, 16, chips, columns, rows, half(0)) ||
        !readLayer(file, *chunk, 16 + layerBytes, kinds, columns, rows, half(layerBytes))) {
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

platform::Outcome<bool> MapFile::loadText(const std::string& path, MapGrid& grid,
                                          const platform::Language& language, Header* header) {
    using Loaded = platform::Outcome<bool>;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return Loaded::failure(PELORIN_TEXT("マップデータが開けません"), kLoadErrorTitle);
    }
    TextStream in(file.get());
    Header found;
    if (!readTextHeader(in, found)) {
        return Loaded::failure(PELORIN_TEXT("マップ配置データのＩＤが異なっています"),
                               kLoadErrorTitle);
    }
    // The rows are built apart and only replace the map once the whole file has been read.
    TextRows rows;
    for (int c = in.get(); c != EOF; c = in.get()) {
        if (!rows.add(c)) {
            return Loaded::failure(rows.errorText(language, path), kLoadErrorTitle);
        }
    }
    // Whatever follows the last line feed is left out: it is no finished row.
    const int columns = rows.columns();
    const int count = static_cast<int>(rows.cells().size());
    // A text map carries no attributes: every cell gets the default one.
    MapGrid::Layer kinds(count, MapGrid::Row(columns, MapGrid::kDefaultKind));
    grid.assign(std::move(rows.cells()), std::move(kinds), columns, count);
    if (header != nullptr) {
        *header = found;
    }
    return Loaded{true, {}};
}

platform::Outcome<MapFile::Format> MapFile::load(const std::string& path, MapGrid& grid,
                                                 const platform::Language& language, Header* header,
                                                 const platform::Progress& progress) {
    using Loaded = platform::Outcome<Format>;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
        return Loaded::failure(tooLargeText(language, path), kLoadErrorTitle);
    }
    try {
        switch (loadBinary(path, grid, header, progress)) {
            case BinaryResult::Loaded:
                return Loaded{Format::Binary, {}};
            case BinaryResult::Damaged:
                return Loaded::failure(
                    language.formatText(PELORIN_TEXT("%s\nマップデータが壊れています"),
                                        path.c_str()),
                    kLoadErrorTitle);
            case BinaryResult::NoChunk:
                break;
        }
        platform::Outcome<bool> text = loadText(path, grid, language, header);
        return Loaded{text.value ? Format::Text : Format::None, std::move(text.notices)};
    } catch (const std::bad_alloc&) {
        // The layers are built apart from the grid, which is still as it was.
        return Loaded::failure(tooLargeText(language, path), kLoadErrorTitle);
    }
}

platform::Outcome<bool> MapFile::save(std::string& path, MapGrid& grid,
                                      const platform::Language& language,
                                      const platform::Progress& progress) {
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
    std::string why = "the map is larger than a chunk can hold";
    if (writer.AddPieces(kTag, std::move(pieces))) {
        const platform::Outcome<bool> saved = writer.Save(path, progress);
        if (saved.value) {
            return saved;
        }
        why = saved.why();
    }
    return platform::Outcome<bool>::failure(
        language.formatText(PELORIN_TEXT("マップ「%s」を保存できませんでした\n%s"), path.c_str(),
                            why.c_str()),
        PELORIN_TEXT("保存エラー"));
}
