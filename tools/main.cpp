#include <cstdio>
#include <string>
#include <vector>

#include "tools/PelorinTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    PelorinTool tool(stdout, stderr);
    return tool.run(args);
}
