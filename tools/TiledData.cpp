// What the TMX and TMJ readers share: picking the layers, checking sizes, decoding layer data.
#include <zlib.h>

#include <cstring>
#include <utility>

#include "map/MapGrid.h"
#include "platform/FileIo.h"
#include "tools/DecimalRows.h"
#include "tools/TiledMap.h"

namespace tiled {
namespace detail {

namespace {

int base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Reads the digits at p (at most eleven) into value and returns where they end.
const char* readDigits(const char* p, const char* end, std::uint64_t& value) {
    const char* const first = p;
    value = 0;
    for (unsigned digit;
         p < end && (digit = static_cast<unsigned char>(*p) - '0') <= 9 && p - first < 11; ++p) {
        value = value * 10 + digit;
    }
    return p;
}

// Inflates a zlib or gzip stream into out, which must be filled exactly: one byte more than it
// holds counts as too long.
bool inflateExactly(const std::vector<std::uint8_t>& in, bool gzip, std::uint8_t* out,
                    std::size_t size, std::string& error) {
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK) {
        error = "zlib cannot start";
        return false;
    }
    stream.next_in = const_cast<Bytef*>(in.data());
    std::uint8_t extra = 0;
    std::size_t produced = 0;
    int result = Z_OK;
    // In pieces that fit zlib's 32-bit counts, then one byte beyond to find data that are too long.
    while (result == Z_OK) {
        const std::size_t consumed = stream.total_in;
        stream.avail_in = static_cast<uInt>(std::min<std::size_t>(in.size() - consumed, 1u << 30));
        if (produced < size) {
            stream.next_out = out + produced;
            stream.avail_out = static_cast<uInt>(std::min<std::size_t>(size - produced, 1u << 30));
        } else {
            stream.next_out = &extra;
            stream.avail_out = 1;
        }
        const uInt before = stream.avail_out;
        result = inflate(&stream, Z_NO_FLUSH);
        produced += before - stream.avail_out;
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            break;  // the stream ends before its end marker
        }
        if (produced > size) {
            break;
        }
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR) {
        error = std::string("the ") + (gzip ? "gzip" : "zlib") + " data are damaged";
        return false;
    }
    if (result != Z_STREAM_END && produced <= size) {
        error = std::string("the ") + (gzip ? "gzip" : "zlib") + " data are cut short";
        return false;
    }
    if (produced > size) {
        error = "the data hold more than the layer's " + std::to_string(size / 4) + " tiles";
        return false;
    }
    if (produced < size) {
        error = tileCountError(produced / 4, size / 4, produced % 4 != 0);
        return false;
    }
    return true;
}

}  // namespace

bool readPickedLayers(const std::vector<std::string>& names,
                      const std::function<bool(int, Layer&, std::string&)>& decode, Map& map,
                      std::string& error) {
    // The first "chips", else the first layer of another name; the first "attributes".
    int chips = -1, kinds = -1, firstOther = -1;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        if (names[i] == "chips" && chips < 0) {
            chips = i;
        } else if (names[i] == "attributes") {
            kinds = kinds < 0 ? i : kinds;
        } else if (firstOther < 0) {
            firstOther = i;
        }
    }
    chips = chips < 0 ? firstOther : chips;
    if (chips < 0) {
        error = "map: there is no tile layer for the chips";
        return false;
    }
    for (const int index : {chips, kinds}) {
        if (index < 0) {
            continue;
        }
        Layer layer;
        layer.name = names[index];
        if (!decode(index, layer, error)) {
            error = layerPlace(layer.name) + ": " + error;
            return false;
        }
        map.layers.push_back(std::move(layer));
    }
    return true;
}

bool checkMap(const Map& map, std::string& error) {
    if (map.width < MapGrid::kMinCanvas || map.width > MapGrid::kMaxCanvas ||
        map.height < MapGrid::kMinCanvas || map.height > MapGrid::kMaxCanvas) {
        error = "map: " + std::to_string(map.width) + " × " + std::to_string(map.height) +
                " tiles; a map has 1 to 5000 tiles each way";
        return false;
    }
    if (map.tileWidth < MapGrid::kMinChipSize || map.tileWidth > MapGrid::kMaxChipSize ||
        map.tileHeight < MapGrid::kMinChipSize || map.tileHeight > MapGrid::kMaxChipSize) {
        error = "map: tiles of " + std::to_string(map.tileWidth) + " × " +
                std::to_string(map.tileHeight) + " pixels; a chip has 16 to 64 pixels each way";
        return false;
    }
    return true;
}

bool decodeBase64(const char* text, std::size_t size, const std::string& compression,
                  std::size_t count, std::vector<std::uint32_t>& gids, std::string& error) {
    if (compression == "zstd") {
        error = "zstd-compressed data are not read; save the map with zlib or gzip compression";
        return false;
    }
    if (!compression.empty() && compression != "zlib" && compression != "gzip") {
        error = "unknown compression \"" + compression + "\"";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int held = 0, padding = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (isSpace(c)) {
            continue;
        }
        const int v = c == '=' ? 0 : base64Value(static_cast<unsigned char>(c));
        if (v < 0 || (padding > 0 && c != '=')) {
            error = "the base64 data hold a character that is not base64";
            return false;
        }
        padding += c == '=';
        bits = bits << 6 | static_cast<std::uint32_t>(v);
        if (++held == 4) {
            bytes.push_back(static_cast<std::uint8_t>(bits >> 16));
            bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
            bytes.push_back(static_cast<std::uint8_t>(bits));
            held = 0;
            bits = 0;
        }
    }
    if (held != 0 || padding > 2) {
        error = "the base64 data are cut short";
        return false;
    }
    bytes.resize(bytes.size() - padding);
    gids.assign(count, 0);
    std::uint8_t* out = reinterpret_cast<std::uint8_t*>(gids.data());
    if (compression.empty()) {
        if (bytes.size() != count * 4) {
            error = tileCountError(bytes.size() / 4, count, bytes.size() % 4 != 0);
            return false;
        }
        std::memcpy(out, bytes.data(), bytes.size());
    } else if (!inflateExactly(bytes, compression == "gzip", out, count * 4, error)) {
        return false;
    }
    // The GIDs are stored little-endian.
    for (std::uint32_t& gid : gids) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(&gid);
        gid = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
              std::uint32_t(b[3]) << 24;
    }
    return true;
}

bool decodeCsv(const char* text, std::size_t size, std::size_t count,
               std::vector<std::uint32_t>& gids, std::string& error) {
    gids.resize(count);
    std::uint32_t* const out = gids.data();
    const char* p = text;
    const char* const end = text + size;
    std::size_t n = 0;
    while (p < end && isSpace(*p)) {
        ++p;
    }
    while (p < end) {
        const char* const first = p;
        std::uint64_t value = 0;
        p = readDigits(p, end, value);
        if (p == first || value > 0xFFFFFFFFu) {
            error = "tile " + std::to_string(n) + " of the CSV data is not a GID";
            return false;
        }
        if (n < count) {
            out[n] = static_cast<std::uint32_t>(value);
        }
        ++n;
        if (p + 1 < end && *p == ',' &&
            static_cast<unsigned>(static_cast<unsigned char>(p[1]) - '0') <= 9u) {
            ++p;  // the common case: the next number follows at once
            continue;
        }
        while (p < end && isSpace(*p)) {
            ++p;
        }
        if (p < end) {
            if (*p != ',') {
                error = "the CSV data have \"" + std::string(1, *p) + "\" after tile " +
                        std::to_string(n - 1);
                return false;
            }
            ++p;
            while (p < end && isSpace(*p)) {
                ++p;
            }
        }
    }
    if (n != count) {
        error = tileCountError(n, count);
        return false;
    }
    return true;
}

const char* typeName(Property::Type type) {
    switch (type) {
        case Property::Type::Bool:
            return "bool";
        case Property::Type::Int:
            return "int";
        case Property::Type::Color:
            return "color";
        default:
            return "string";
    }
}

Property::Type typeOf(const std::string& name) {
    for (const Property::Type type :
         {Property::Type::Bool, Property::Type::Int, Property::Type::Color}) {
        if (name == typeName(type)) {
            return type;
        }
    }
    return Property::Type::String;
}

std::string tileCountError(std::size_t tiles, std::size_t count, bool part) {
    return "the data hold " + std::to_string(tiles) + " tiles" + (part ? " and a part" : "") +
           " where the layer has " + std::to_string(count);
}

std::string spliceLayers(const std::string& skeleton, const std::string& marker, const Map& map,
                         bool oneRow, const decimal::Layout& layout, std::size_t skip) {
    const auto shape = [&](const Layer& layer) {
        const std::size_t count = layer.gids.size();
        const std::size_t width = oneRow ? count : static_cast<std::size_t>(map.width);
        return std::pair<std::size_t, std::size_t>{oneRow ? 1 : count / width, width};
    };
    std::vector<decimal::Extent> extents(map.layers.size());
    std::size_t total = skeleton.size() + 1;
    for (std::size_t i = 0; i < map.layers.size(); ++i) {
        extents[i].take(map.layers[i].gids.data(), map.layers[i].gids.size());
        total += decimal::bound(extents[i], shape(map.layers[i]).first, layout);
    }
    std::string out;
    out.reserve(total);
    std::size_t from = 0;
    for (std::size_t i = 0; i < map.layers.size(); ++i) {
        const std::size_t at = skeleton.find(marker, from) + marker.size() - 1;
        out.append(skeleton, from, at - from);
        const std::vector<std::uint32_t>& gids = map.layers[i].gids;
        const std::pair<std::size_t, std::size_t> rowsWidth = shape(map.layers[i]);
        const std::size_t width = rowsWidth.second;
        decimal::appendRows<std::uint32_t>(
            out, extents[i], rowsWidth.first, width,
            [&](std::size_t r) { return gids.data() + r * width; }, layout);
        from = at + skip;
    }
    out.append(skeleton, from, std::string::npos);
    return out;
}

std::string layerPlace(const std::string& name) {
    return "layer \"" + name + "\"";
}

bool readBeside(const std::string& folder, const std::string& source, std::string& text) {
    const std::string path = !source.empty() && source[0] == '/' ? source : folder + "/" + source;
    return platform::readWholeFile(path, text, 64u << 20);
}

}  // namespace detail

bool isXml(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return first != std::string::npos && text[first] == '<';
}

}  // namespace tiled
