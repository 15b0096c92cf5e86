// The TMJ form of a Tiled map: JSON through nlohmann/json.
#include <charconv>

#include "tools/DecimalRows.h"
#include "tools/JsonText.h"
#include "tools/TiledMap.h"

namespace tiled {

namespace {

const json::Value* member(const json::Value& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// A whole number member; fallback when absent. False when present and not one in range.
bool intMember(const json::Value& object, const char* key, std::int64_t fallback, std::int64_t low,
               std::int64_t high, std::int64_t& value) {
    value = fallback;
    return json::integerMember(object, key, low, high, value);
}

std::string stringMember(const json::Value& object, const char* key, const char* fallback) {
    const json::Value* m = member(object, key);
    return m != nullptr && m->is_string() ? m->get<std::string>() : fallback;
}

json::Value valueJson(const Property& p) {
    switch (p.type) {
        case Property::Type::Bool:
            return p.value == "true";
        case Property::Type::Int: {
            std::int64_t value = 0;
            std::from_chars(p.value.data(), p.value.data() + p.value.size(), value);
            return value;
        }
        default:
            return p.value;
    }
}

bool tilesetFromJson(const json::Value& object, Tileset& tileset, std::string& error) {
    tileset.name = stringMember(object, "name", "");
    const std::string place = "tileset \"" + tileset.name + "\": ";
    if (!intMember(object, "tilecount", 0, 0, INT64_MAX, tileset.tileCount)) {
        error = place + "tilecount is not a count";
        return false;
    }
    const json::Value* tiles = member(object, "tiles");
    if (tiles == nullptr) {
        return true;
    }
    if (!tiles->is_array()) {
        error = place + "\"tiles\" must be an array";
        return false;
    }
    for (std::size_t i = 0; i < tiles->size(); ++i) {
        const json::Value& item = (*tiles)[i];
        std::int64_t id = 0;
        const json::Value* properties = item.is_object() ? member(item, "properties") : nullptr;
        if (!item.is_object() || !intMember(item, "id", -1, 0, INT32_MAX, id) || id < 0 ||
            (properties != nullptr && !properties->is_array())) {
            error = place + "tiles[" + std::to_string(i) +
                    "] must be an object with an id from 0 and an array of properties";
            return false;
        }
        Tile tile;
        tile.id = static_cast<int>(id);
        for (std::size_t k = 0; properties != nullptr && k < properties->size(); ++k) {
            const json::Value& p = (*properties)[k];
            if (!p.is_object()) {
                error = place + "tiles[" + std::to_string(i) + "].properties[" + std::to_string(k) +
                        "] must be an object";
                return false;
            }
            Property property;
            property.name = stringMember(p, "name", "");
            property.type = detail::typeOf(stringMember(p, "type", "string"));
            const json::Value* value = member(p, "value");
            if (value == nullptr) {
                property.value = "";
            } else if (value->is_string()) {
                property.value = value->get<std::string>();
            } else if (value->is_boolean()) {
                property.value = value->get<bool>() ? "true" : "false";
            } else {
                property.value = value->dump();
            }
            tile.properties.push_back(std::move(property));
        }
        tileset.tiles.push_back(std::move(tile));
    }
    return true;
}

bool layerData(const json::Value& layer, const Map& map, std::vector<std::uint32_t>& gids,
               std::string& error) {
    std::int64_t width = 0, height = 0;
    if (!intMember(layer, "width", -1, -1, INT32_MAX, width) ||
        !intMember(layer, "height", -1, -1, INT32_MAX, height) || width != map.width ||
        height != map.height) {
        error = "the layer is not of the map's size " + std::to_string(map.width) + " × " +
                std::to_string(map.height);
        return false;
    }
    if (member(layer, "chunks") != nullptr) {
        error = "the layer is stored in chunks, as only infinite maps are";
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(map.width) * map.height;
    const json::Value* data = member(layer, "data");
    const std::string encoding = stringMember(layer, "encoding", "csv");
    if (encoding == "base64") {
        if (data == nullptr || !data->is_string()) {
            error = "base64 data must be a string";
            return false;
        }
        const std::string& text = data->get_ref<const std::string&>();
        return detail::decodeBase64(text.data(), text.size(),
                                    stringMember(layer, "compression", ""), count, gids, error);
    }
    if (encoding != "csv") {
        error = "unknown encoding \"" + encoding + "\"";
        return false;
    }
    if (data == nullptr || !data->is_array()) {
        error = "the data must be an array of GIDs";
        return false;
    }
    if (data->size() != count) {
        error = detail::tileCountError(data->size(), count);
        return false;
    }
    gids.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t gid = 0;
        if (!json::integerIn((*data)[i], 0, 0xFFFFFFFFll, gid)) {
            error = "data[" + std::to_string(i) + "] is not a GID";
            return false;
        }
        gids[i] = static_cast<std::uint32_t>(gid);
    }
    return true;
}

// Tile layers in document order, those inside groups included.
void collectLayers(const json::Value& parent, std::vector<const json::Value*>& layers) {
    const json::Value* list = member(parent, "layers");
    if (list == nullptr || !list->is_array()) {
        return;
    }
    for (const json::Value& layer : *list) {
        if (!layer.is_object()) {
            continue;
        }
        const std::string type = stringMember(layer, "type", "");
        if (type == "tilelayer") {
            layers.push_back(&layer);
        } else if (type == "group") {
            collectLayers(layer, layers);
        }
    }
}

}  // namespace

std::string writeTmj(const Map& map) {
    json::Value root;
    root["compressionlevel"] = -1;
    root["height"] = map.height;
    root["infinite"] = false;
    root["nextlayerid"] = map.layers.size() + 1;
    root["nextobjectid"] = 1;
    root["orientation"] = "orthogonal";
    root["renderorder"] = "right-down";
    root["tiledversion"] = "1.8.2";
    root["tileheight"] = map.tileHeight;
    root["tilewidth"] = map.tileWidth;
    root["type"] = "map";
    root["version"] = "1.8";
    root["width"] = map.width;
    json::Value& layers = root["layers"] = json::Value::array();
    for (const Layer& l : map.layers) {
        json::Value layer;
        layer["data"] = json::Value::array();  // filled in below
        layer["height"] = map.height;
        layer["id"] = l.id;
        layer["name"] = l.name;
        // A whole opacity is written as Tiled writes it, without a fraction.
        layer["opacity"] = l.opacity == 1 ? json::Value(1) : json::Value(l.opacity);
        layer["type"] = "tilelayer";
        layer["visible"] = true;
        layer["width"] = map.width;
        layer["x"] = 0;
        layer["y"] = 0;
        layers.push_back(std::move(layer));
    }
    json::Value& tilesets = root["tilesets"] = json::Value::array();
    for (const Tileset& t : map.tilesets) {
        json::Value tileset;
        tileset["columns"] = t.columns;
        tileset["firstgid"] = t.firstGid;
        tileset["image"] = t.image;
        tileset["imageheight"] = t.imageHeight;
        tileset["imagewidth"] = t.imageWidth;
        tileset["margin"] = 0;
        tileset["name"] = t.name;
        tileset["spacing"] = 0;
        tileset["tilecount"] = t.tileCount;
        tileset["tileheight"] = t.tileHeight;
        tileset["tilewidth"] = t.tileWidth;
        if (!t.tiles.empty()) {
            json::Value& tiles = tileset["tiles"] = json::Value::array();
            for (const Tile& tile : t.tiles) {
                json::Value properties = json::Value::array();
                for (const Property& p : tile.properties) {
                    properties.push_back({{"name", p.name},
                                          {"type", detail::typeName(p.type)},
                                          {"value", valueJson(p)}});
                }
                tiles.push_back({{"id", tile.id}, {"properties", std::move(properties)}});
            }
        }
        tilesets.push_back(std::move(tileset));
    }
    // The layers' GIDs go straight into the text: a tree of millions of values would cost many
    // times their text. Each layer's "data" comes first in it, as the members are sorted, and no
    // text of the map's can hold the marker, as a quote inside a string is escaped.
    const std::string skeleton = json::write(root);
    std::string out = detail::spliceLayers(skeleton, "{\"data\":[]", map, true,
                                           decimal::Layout{"", "", "", "", ""}, 0);
    out += '\n';
    return out;
}

platform::Outcome<bool> readTmj(const std::string& text, const std::string& folder, Map& map) {
    json::Value root;
    return json::parse(text, root).then([&] { return readTmj(root, folder, map); });
}

static bool readTmjInto(const json::Value& root, const std::string& folder, Map& map,
                        std::string& error) {
    if (!root.is_object() || stringMember(root, "type", "map") != "map") {
        error = "not a TMJ map: the text is no JSON object of type \"map\"";
        return false;
    }
    const std::string orientation = stringMember(root, "orientation", "orthogonal");
    if (orientation != "orthogonal") {
        error = "map: the orientation is \"" + orientation + "\"; only orthogonal maps are read";
        return false;
    }
    const json::Value* infinite = member(root, "infinite");
    if (infinite != nullptr && !(infinite->is_boolean() && !infinite->get<bool>())) {
        error = "map: the map is infinite; only finite maps are read";
        return false;
    }
    std::int64_t size[4] = {};
    const char* const sizeKeys[] = {"width", "height", "tilewidth", "tileheight"};
    for (int i = 0; i < 4; ++i) {
        if (!intMember(root, sizeKeys[i], 0, -1, INT32_MAX, size[i])) {
            error = "map: width, height, tilewidth and tileheight must be whole numbers";
            return false;
        }
    }
    Map read;
    read.width = static_cast<int>(size[0]);
    read.height = static_cast<int>(size[1]);
    read.tileWidth = static_cast<int>(size[2]);
    read.tileHeight = static_cast<int>(size[3]);
    if (!detail::checkMap(read, error)) {
        return false;
    }
    const json::Value* tilesets = member(root, "tilesets");
    for (std::size_t i = 0; tilesets != nullptr && tilesets->is_array() && i < tilesets->size();
         ++i) {
        const json::Value& item = (*tilesets)[i];
        std::int64_t firstGid = 0;
        if (!item.is_object() ||
            !intMember(item, "firstgid", 0, 1, detail::kMaxGid - 1, firstGid) || firstGid < 1) {
            error = "tileset " + std::to_string(i + 1) + ": firstgid must be a GID from 1";
            return false;
        }
        Tileset tileset;
        const json::Value* source = member(item, "source");
        if (source != nullptr
                ? !source->is_string() || !detail::readExternalTileset(
                                              folder, source->get<std::string>(), tileset, error)
                : !tilesetFromJson(item, tileset, error)) {
            if (error.empty()) {
                error = "tileset " + std::to_string(i + 1) + ": \"source\" must be a file name";
            }
            return false;
        }
        tileset.firstGid = static_cast<std::uint32_t>(firstGid);
        read.tilesets.push_back(std::move(tileset));
    }
    std::vector<const json::Value*> layers;
    collectLayers(root, layers);
    std::vector<std::string> names;
    for (const json::Value* layer : layers) {
        names.push_back(stringMember(*layer, "name", ""));
    }
    const auto decode = [&](int index, Layer& layer, std::string& why) {
        const json::Value* opacity = member(*layers[index], "opacity");
        layer.opacity = opacity != nullptr && opacity->is_number() ? opacity->get<double>() : 1;
        return layerData(*layers[index], read, layer.gids, why);
    };
    if (!detail::readPickedLayers(names, decode, read, error)) {
        return false;
    }
    map = std::move(read);
    return true;
}

platform::Outcome<bool> readTmj(const json::Value& root, const std::string& folder, Map& map) {
    return platform::outcomeOf(
        [&](std::string& why) { return readTmjInto(root, folder, map, why); });
}

namespace detail {

bool tilesetFromJsonText(const std::string& text, Tileset& tileset, std::string& error) {
    json::Value root;
    const platform::Outcome<bool> parsed = json::parse(text, root);
    if (!parsed.value) {
        error = parsed.why();
        return false;
    }
    if (!root.is_object()) {
        error = "the tileset is no JSON object";
        return false;
    }
    return tilesetFromJson(root, tileset, error);
}

}  // namespace detail

}  // namespace tiled
