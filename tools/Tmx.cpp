// The TMX form of a Tiled map: XML through pugixml.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <pugixml.hpp>

#include "tools/DecimalRows.h"
#include "tools/JsonText.h"
#include "tools/TiledMap.h"

namespace tiled {

namespace {

// Rows of GIDs as Tiled writes them: a line each, every line but the last ending in a comma, the
// whole between line breaks.
const decimal::Layout kCsvRows{"\n", "", "", ",\n", "\n"};

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

// A whole number attribute; fallback when absent. False when present and not a number.
bool intAttribute(const pugi::xml_node& node, const char* name, std::int64_t fallback,
                  std::int64_t& value) {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) {
        value = fallback;
        return true;
    }
    const char* text = a.value();
    const char* end = text + std::strlen(text);
    const auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && r.ptr != text;
}

bool tilesetFromXml(const pugi::xml_node& node, Tileset& tileset, std::string& error) {
    tileset.name = node.attribute("name").value();
    const std::string place = "tileset \"" + tileset.name + "\": ";
    if (!intAttribute(node, "tilecount", 0, tileset.tileCount) || tileset.tileCount < 0) {
        error = place + "tilecount is not a count";
        return false;
    }
    for (const pugi::xml_node& tileNode : node.children("tile")) {
        Tile tile;
        std::int64_t id = 0;
        if (!intAttribute(tileNode, "id", -1, id) || id < 0 || id > INT32_MAX) {
            error = place + "a tile has no id from 0";
            return false;
        }
        tile.id = static_cast<int>(id);
        for (const pugi::xml_node& p : tileNode.child("properties").children("property")) {
            Property property;
            property.name = p.attribute("name").value();
            property.type = detail::typeOf(p.attribute("type").as_string("string"));
            // Text of several lines may stand as the element's content.
            const pugi::xml_attribute value = p.attribute("value");
            property.value = value ? value.value() : p.child_value();
            tile.properties.push_back(std::move(property));
        }
        tileset.tiles.push_back(std::move(tile));
    }
    return true;
}

// The GIDs of one <layer>, exactly count of them.
bool layerData(const pugi::xml_node& layer, const Map& map, std::vector<std::uint32_t>& gids,
               std::string& error) {
    std::int64_t width = 0, height = 0;
    if (!intAttribute(layer, "width", -1, width) || !intAttribute(layer, "height", -1, height) ||
        width != map.width || height != map.height) {
        error = "the layer is not of the map's size " + std::to_string(map.width) + " × " +
                std::to_string(map.height);
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(map.width) * map.height;
    const pugi::xml_node data = layer.child("data");
    if (!data) {
        error = "the layer has no <data>";
        return false;
    }
    if (data.child("chunk")) {
        error = "the layer is stored in chunks, as only infinite maps are";
        return false;
    }
    const std::string encoding = data.attribute("encoding").value();
    const char* text = data.child_value();
    if (encoding == "csv") {
        return detail::decodeCsv(text, std::strlen(text), count, gids, error);
    }
    if (encoding == "base64") {
        return detail::decodeBase64(text, std::strlen(text), data.attribute("compression").value(),
                                    count, gids, error);
    }
    if (!encoding.empty()) {
        error = "unknown encoding \"" + encoding + "\"";
        return false;
    }
    gids.assign(count, 0);
    std::size_t n = 0;
    for (const pugi::xml_node& tile : data.children("tile")) {
        std::int64_t gid = 0;
        if (!intAttribute(tile, "gid", 0, gid) || gid < 0 || gid > 0xFFFFFFFFll) {
            error = "<tile> " + std::to_string(n) + " has no GID";
            return false;
        }
        if (n < count) {
            gids[n] = static_cast<std::uint32_t>(gid);
        }
        ++n;
    }
    if (n != count) {
        error = detail::tileCountError(n, count);
        return false;
    }
    return true;
}

// Tile layers in document order, those inside groups included.
void collectLayers(const pugi::xml_node& parent, std::vector<pugi::xml_node>& layers) {
    for (const pugi::xml_node& child : parent.children()) {
        if (std::strcmp(child.name(), "layer") == 0) {
            layers.push_back(child);
        } else if (std::strcmp(child.name(), "group") == 0) {
            collectLayers(child, layers);
        }
    }
}

}  // namespace

std::string writeTmx(const Map& map) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("map");
    root.append_attribute("version") = "1.8";
    root.append_attribute("tiledversion") = "1.8.2";
    root.append_attribute("orientation") = "orthogonal";
    root.append_attribute("renderorder") = "right-down";
    root.append_attribute("width") = map.width;
    root.append_attribute("height") = map.height;
    root.append_attribute("tilewidth") = map.tileWidth;
    root.append_attribute("tileheight") = map.tileHeight;
    root.append_attribute("infinite") = 0;
    root.append_attribute("nextlayerid") = static_cast<int>(map.layers.size()) + 1;
    root.append_attribute("nextobjectid") = 1;
    for (const Tileset& t : map.tilesets) {
        pugi::xml_node node = root.append_child("tileset");
        node.append_attribute("firstgid") = t.firstGid;
        node.append_attribute("name") = t.name.c_str();
        node.append_attribute("tilewidth") = t.tileWidth;
        node.append_attribute("tileheight") = t.tileHeight;
        node.append_attribute("tilecount") = static_cast<long long>(t.tileCount);
        node.append_attribute("columns") = t.columns;
        pugi::xml_node image = node.append_child("image");
        image.append_attribute("source") = t.image.c_str();
        image.append_attribute("width") = t.imageWidth;
        image.append_attribute("height") = t.imageHeight;
        for (const Tile& tile : t.tiles) {
            pugi::xml_node tileNode = node.append_child("tile");
            tileNode.append_attribute("id") = tile.id;
            pugi::xml_node properties = tileNode.append_child("properties");
            for (const Property& p : tile.properties) {
                pugi::xml_node property = properties.append_child("property");
                property.append_attribute("name") = p.name.c_str();
                if (p.type != Property::Type::String) {
                    property.append_attribute("type") = detail::typeName(p.type);
                }
                property.append_attribute("value") = p.value.c_str();
            }
        }
    }
    for (const Layer& layer : map.layers) {
        pugi::xml_node node = root.append_child("layer");
        node.append_attribute("id") = layer.id;
        node.append_attribute("name") = layer.name.c_str();
        node.append_attribute("width") = map.width;
        node.append_attribute("height") = map.height;
        if (layer.opacity != 1) {
            node.append_attribute("opacity") = layer.opacity;
        }
        pugi::xml_node data = node.append_child("data");
        data.append_attribute("encoding") = "csv";
        data.append_child(pugi::node_pcdata).set_value("\n");
    }
    StringWriter writer;
    doc.save(writer, " ", pugi::format_indent, pugi::encoding_utf8);
    // The layers' data, which need no escaping, go straight into the text: the XML writer would
    // copy and scan many megabytes. Element text cannot hide the marker, as its "<" is escaped.
    const std::string& skeleton = writer.text;
    std::string out =
        detail::spliceLayers(skeleton, "<data encoding=\"csv\">\n", map, false, kCsvRows, 1);
    return out;
}

static bool readTmxInto(std::string text, const std::string& folder, Map& map, std::string& error) {
    // The parser works in the text itself, which saves a copy of many megabytes but leaves it
    // unfit for counting lines: where they start is noted first, for the place of an error.
    std::vector<std::size_t> lineStarts;
    for (const char* p = text.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', text.size() - (p - text.data())))) !=
         nullptr;
         ++p) {
        lineStarts.push_back(static_cast<std::size_t>(p - text.data()) + 1);
    }
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(&text[0], text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        const std::size_t offset = static_cast<std::size_t>(parsed.offset);
        const auto line = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
        const std::size_t start = line == lineStarts.begin() ? 0 : line[-1];
        error = "line " + std::to_string(line - lineStarts.begin() + 1) + ", column " +
                std::to_string(offset - start + 1) + ": " + parsed.description();
        return false;
    }
    const pugi::xml_node root = doc.child("map");
    if (!root) {
        error = "not a TMX map: there is no <map> element";
        return false;
    }
    const std::string orientation = root.attribute("orientation").as_string("orthogonal");
    if (orientation != "orthogonal") {
        error = "map: the orientation is \"" + orientation + "\"; only orthogonal maps are read";
        return false;
    }
    std::int64_t infinite = 0, width = 0, height = 0, tileWidth = 0, tileHeight = 0;
    if (!intAttribute(root, "infinite", 0, infinite) || infinite != 0) {
        error = "map: the map is infinite; only finite maps are read";
        return false;
    }
    if (!intAttribute(root, "width", 0, width) || !intAttribute(root, "height", 0, height) ||
        !intAttribute(root, "tilewidth", 0, tileWidth) ||
        !intAttribute(root, "tileheight", 0, tileHeight)) {
        error = "map: width, height, tilewidth and tileheight must be whole numbers";
        return false;
    }
    Map read;
    read.width = static_cast<int>(std::clamp<std::int64_t>(width, -1, INT32_MAX));
    read.height = static_cast<int>(std::clamp<std::int64_t>(height, -1, INT32_MAX));
    read.tileWidth = static_cast<int>(std::clamp<std::int64_t>(tileWidth, -1, INT32_MAX));
    read.tileHeight = static_cast<int>(std::clamp<std::int64_t>(tileHeight, -1, INT32_MAX));
    if (!detail::checkMap(read, error)) {
        return false;
    }
    for (const pugi::xml_node& node : root.children("tileset")) {
        Tileset tileset;
        std::int64_t firstGid = 0;
        if (!intAttribute(node, "firstgid", 0, firstGid) || firstGid < 1 ||
            firstGid >= detail::kMaxGid) {
            error = "tileset " + std::to_string(read.tilesets.size() + 1) +
                    ": firstgid must be a GID from 1";
            return false;
        }
        const pugi::xml_attribute source = node.attribute("source");
        if (source ? !detail::readExternalTileset(folder, source.value(), tileset, error)
                   : !tilesetFromXml(node, tileset, error)) {
            return false;
        }
        tileset.firstGid = static_cast<std::uint32_t>(firstGid);
        read.tilesets.push_back(std::move(tileset));
    }
    std::vector<pugi::xml_node> layers;
    collectLayers(root, layers);
    std::vector<std::string> names;
    for (const pugi::xml_node& layer : layers) {
        names.push_back(layer.attribute("name").value());
    }
    const auto decode = [&](int index, Layer& layer, std::string& why) {
        layer.opacity = layers[index].attribute("opacity").as_double(1);
        return layerData(layers[index], read, layer.gids, why);
    };
    if (!detail::readPickedLayers(names, decode, read, error)) {
        return false;
    }
    map = std::move(read);
    return true;
}

platform::Outcome<bool> readTmx(std::string text, const std::string& folder, Map& map) {
    return platform::outcomeOf(
        [&](std::string& why) { return readTmxInto(std::move(text), folder, map, why); });
}

namespace detail {

bool readExternalTileset(const std::string& folder, const std::string& source, Tileset& tileset,
                         std::string& error) {
    std::string text;
    if (!readBeside(folder, source, text)) {
        error = "cannot read the tileset file \"" + source + "\"";
        return false;
    }
    std::string why;
    bool ok = false;
    if (isXml(text)) {
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed =
            doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!parsed) {
            why = json::placeOf(text, static_cast<std::size_t>(parsed.offset)) + ": " +
                  parsed.description();
        } else if (!doc.child("tileset")) {
            why = "there is no <tileset> element";
        } else {
            ok = tilesetFromXml(doc.child("tileset"), tileset, why);
        }
    } else {
        ok = tilesetFromJsonText(text, tileset, why);
    }
    if (!ok) {
        error = "the tileset file \"" + source + "\" cannot be read: " + why;
    }
    return ok;
}

}  // namespace detail

}  // namespace tiled
