#include "app/core/FileKind.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

FileKind fileKindOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return FileKind::Unreadable;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return FileKind::Unreadable;
    }
    std::string head(4096, '\0');
    head.resize(std::fread(&head[0], 1, head.size(), file));
    std::fclose(file);
    const std::string bom = "\xEF\xBB\xBF";
    const std::string text = head.compare(0, bom.size(), bom) == 0 ? head.substr(bom.size()) : head;
    if (head.compare(0, 4, "MAPB") == 0 || text.compare(0, 4, "MAPT") == 0) {
        return FileKind::Map;
    }
    if (head.compare(0, 4, "KIND") == 0) {
        return FileKind::Attributes;
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '{' &&
        text.find("\"pelorinPlayer\"") != std::string::npos) {
        return FileKind::Frames;
    }
    return FileKind::Image;
}
