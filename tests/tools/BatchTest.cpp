// pelorin-tool over several inputs: each output is what the input alone gives, named after it;
// failures are named and counted; what would go wrong is refused before anything is written.
#include <gtest/gtest.h>
#include <png.h>
#include <pty.h>

#include <thread>

#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"
#include "tools/BatchRun.h"
#include "tools/ProgressBar.h"

using namespace testing_support;

namespace {

// dir/in: three maps of different sizes and chips, their JSON, a chip image, three attribute
// files and three images to convert.
struct Inputs {
    TempDir dir;
    std::string in = dir.file("in");

    Inputs() {
        ::mkdir(in.c_str(), 0755);
        PngPicture png{40, 36, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, {}, ""};
        for (int y = 0; y < 36; ++y) {
            Bytes row;
            for (int x = 0; x < 40; ++x) {
                row.insert(row.end(), {std::uint8_t(x * 6), std::uint8_t(y * 7),
                                       std::uint8_t(x ^ y), std::uint8_t(0x40 + x + y)});
            }
            png.rows.push_back(row);
        }
        writeBytes(dir.file("chips.png"), encodePng(png));
        for (int n = 0; n < 3; ++n) {
            MapGrid grid;
            grid.reset(3 + n, 2 + n);
            for (int r = 0; r < grid.rows(); ++r) {
                for (int c = 0; c < grid.columns(); ++c) {
                    grid.setChip(c, r, (r * 7 + c + n) % 5 - 1);
                    grid.setKind(c, r, (r + c * n) % 3);
                }
            }
            grid.setChipSize(16, 16);
            std::string path = map(n);
            MapFile::save(path, grid);
            writeText(in + "/s" + std::to_string(n) + ".json",
                      "{\"columns\":2,\"rows\":1,\"chips\":[[" + std::to_string(n) +
                          ",-1]],\"attributes\":[[0," + std::to_string(n) + "]]}");
            KindTable table;
            table.resetToDefaults(static_cast<unsigned>(n));
            std::string knd = in + "/k" + std::to_string(n) + ".knd";
            table.saveFile(knd);
            writeBytes(in + "/p" + std::to_string(n) + ".png", encodePng(png));
        }
    }
    std::string map(int n) const { return in + "/s" + std::to_string(n) + ".map"; }
    std::vector<std::string> all(const std::string& prefix, const std::string& ext) const {
        std::vector<std::string> files;
        for (int n = 0; n < 3; ++n) {
            files.push_back(in + "/" + prefix + std::to_string(n) + ext);
        }
        return files;
    }
};

std::vector<std::string> joined(std::vector<std::string> head,
                                const std::vector<std::string>& inputs,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), inputs.begin(), inputs.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace

TEST(ToolBatch, EachOutputIsWhatItsInputAloneGives) {
    Inputs f;
    const std::string chips = f.dir.file("chips.png");
    const struct {
        const char* command;
        std::vector<std::string> options;
        const char* prefix;
        const char* inExt;
        std::vector<std::string> outExts;  // what each input gives in the folder
    } cases[] = {
        {"render", {"--chips", chips}, "s", ".map", {".png"}},
        {"render", {"--view", "attributes", "--grid", "--scale", "2"}, "s", ".map", {".png"}},
        {"export", {}, "s", ".map", {".json"}},
        {"export", {"--format", "csv", "--layer", "attributes"}, "s", ".map", {".csv"}},
        {"export", {"--format", "tmx", "--chips", chips}, "s", ".map", {".tmx", "-attributes.png"}},
        {"export", {"--format", "tmj", "--chips", chips}, "s", ".map", {".tmj"}},
        {"import", {}, "s", ".json", {".map"}},
        {"convert", {}, "p", ".png", {".png"}},
        {"kinds", {}, "k", ".knd", {".json"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.outExts[0]);
        const std::vector<std::string> inputs = f.all(c.prefix, c.inExt);
        // Each input alone into single/, all of them at once into batch1/ and batch4/.
        ::mkdir(f.dir.file("single").c_str(), 0755);
        for (int n = 0; n < 3; ++n) {
            const std::string out =
                f.dir.file("single/") + c.prefix + std::to_string(n) + c.outExts[0];
            const ToolRun alone = testing_support::tool(
                f.dir, joined({c.command, inputs[n]}, c.options, {"-o", out}));
            ASSERT_EQ(alone.status, 0) << alone.err;
        }
        for (const char* jobs : {"1", "4"}) {
            const std::string folder = f.dir.file("batch") + jobs;
            const ToolRun run = testing_support::tool(
                f.dir,
                joined({c.command, "-j", jobs}, inputs, joined(c.options, {}, {"-o", folder})));
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, std::string(c.command) + ": 3 done, 0 failed\n");
            for (int n = 0; n < 3; ++n) {
                for (const std::string& ext : c.outExts) {
                    const std::string name = c.prefix + std::to_string(n) + ext;
                    ASSERT_TRUE(exists(folder + "/" + name)) << name;
                    EXPECT_EQ(readBytes(folder + "/" + name),
                              readBytes(f.dir.file("single/") + name))
                        << name << " with -j " << jobs;
                }
            }
        }
        std::system(("rm -rf " + shellQuoted(f.dir.file("single")) + " " +
                     shellQuoted(f.dir.file("batch1")) + " " + shellQuoted(f.dir.file("batch4")))
                        .c_str());
    }
}

TEST(ToolBatch, InfoPrintsOneLineAMapInTheOrderGiven) {
    Inputs f;
    const ToolRun run = testing_support::tool(f.dir, {"info", f.map(2), f.map(0), "--quiet"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "{\"file\":\"" + f.map(2) +
                           "\",\"format\":\"MAPB\",\"columns\":5,\"rows\":4,\"chipWidth\":16,"
                           "\"chipHeight\":16}\n{\"file\":\"" +
                           f.map(0) +
                           "\",\"format\":\"MAPB\",\"columns\":3,\"rows\":2,\"chipWidth\":16,"
                           "\"chipHeight\":16}\n");
}

TEST(ToolBatch, AFailingInputIsNamedCountedAndStopsNoOther) {
    Inputs f;
    const std::string bad = f.in + "/bad.map";
    const Bytes whole = readBytes(f.map(1));
    writeBytes(bad, Bytes(whole.begin(), whole.begin() + 40));
    const ToolRun run =
        testing_support::tool(f.dir, {"render", bad, f.map(0), f.map(2), "--chips",
                                      f.dir.file("chips.png"), "-o", f.dir.file("out"), "-j", "2"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, bad +
                           ": マップ読み込みエラー: マップ配置データのＩＤが異なっています\n"
                           "render: 2 done, 1 failed\n");
    EXPECT_EQ(listDir(f.dir.file("out")), (std::vector<std::string>{"s0.png", "s2.png"}));
}

TEST(ToolBatch, WhatWouldGoWrongIsRefusedBeforeAnythingIsWritten) {
    Inputs f;
    ::mkdir(f.dir.file("other").c_str(), 0755);
    std::system(
        ("cp " + shellQuoted(f.map(0)) + " " + shellQuoted(f.dir.file("other/s0.map"))).c_str());
    writeText(f.dir.file("file"), "x");
    const std::string out = f.dir.file("out");
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"export", f.map(0), f.dir.file("other/s0.map"), "-o", out},
         f.map(0) + " and " + f.dir.file("other/s0.map") + " would both write " + out + "/s0.json"},
        {{"convert", f.in + "/p0.png", f.in + "/p1.png", "-o", f.in},
         f.in + "/p0.png would write " + f.in + "/p0.png, which is one of the inputs"},
        {{"export", f.map(0), f.map(1)},
         "export over several inputs needs -o FOLDER, where each "
         "output is written"},
        {{"export", f.map(0), f.map(1), "-o", f.dir.file("file")},
         "-o names a folder when there are several inputs, and " + f.dir.file("file") +
             " is a file"},
        {{"render", f.map(0), f.map(1), "--view", "both", "-o", out},
         "--view is chips or attributes"},
        {{"render", f.map(0), f.map(1), "-j", "0", "-o", out},
         "-j takes a number of jobs from 1 to 1024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const ToolRun run = testing_support::tool(f.dir, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "pelorin-tool: " + c.error + "\n(see pelorin-tool --help)\n");
        EXPECT_FALSE(exists(out));
    }
}

TEST(ProgressBar, LineFitsTheTerminal) {
    using std::chrono::seconds;
    const struct {
        std::size_t done, total;
        seconds elapsed;
        const char* current;
        int width;
        const char* line;
    } cases[] = {
        {0, 64, seconds(1), "maps/a.map", 80, "[........................] 0/64  maps/a.map"},
        {16, 64, seconds(8), "maps/a.map", 80,
         "[######..................] 16/64  2.0 files/s  0:24 left  maps/a.map"},
        {63, 64, seconds(3600), "", 80, "[#######################.] 63/64  0.0 files/s  0:57 left"},
        {1, 64, seconds(60), "", 80, "[........................] 1/64  0.0 files/s  1:03:00 left"},
        {64, 64, seconds(2), "", 80, "[########################] 64/64  32 files/s  0:00 left"},
        {16, 64, seconds(8), "maps/world/きょう/stage.map", 72,
         "[######..................] 16/64  2.0 files/s  0:24 left  …ょう/stage.map"},
        {16, 64, seconds(8), "maps/a.map", 30, "[######..................] 16"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressBar::line(c.done, c.total, c.elapsed, c.current, c.width), c.line);
    }
}

// The bar on a pseudo-terminal, and nothing of it on a pipe or with --quiet, in a run of
// inputs that each take a while.
TEST(ProgressBar, ShowsOnATerminalOnly) {
    static const ToolCommand slow{"slow",
                                  {},
                                  "",
                                  [](const ToolIo& io, const ToolOptions& options) -> int {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(150));
                                      std::fprintf(io.out(), "%s\n", options.positional[0].c_str());
                                      return kToolOk;
                                  },
                                  [](const ToolOptions&) { return ToolOutputs{}; },
                                  false};
    ToolOptions options;
    options.positional = {"a", "b", "c", "d"};
    for (const char* where : {"terminal", "pipe", "quiet"}) {
        SCOPED_TRACE(where);
        int reader = -1, writer = -1;
        if (std::string(where) == "pipe") {
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            reader = fds[0];
            writer = fds[1];
        } else {
            ASSERT_EQ(::openpty(&reader, &writer, nullptr, nullptr, nullptr), 0);
        }
        std::FILE* err = ::fdopen(writer, "w");
        std::FILE* out = std::tmpfile();
        tool::BatchSettings settings;
        settings.jobs = 2;
        settings.quiet = std::string(where) == "quiet";
        settings.progressAfter = std::chrono::milliseconds(0);
        EXPECT_EQ(tool::runBatch(slow, ToolIo(out, err), options, settings), kToolOk);
        std::fclose(err);
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(reader);
        std::rewind(out);
        char printed[64] = {};
        EXPECT_EQ(std::fread(printed, 1, sizeof printed, out), 8u);
        EXPECT_STREQ(printed, "a\nb\nc\nd\n") << "in the order given";
        std::fclose(out);
        const bool bar = text.find("/4  ") != std::string::npos;
        EXPECT_EQ(bar, std::string(where) == "terminal") << text;
        EXPECT_EQ(text.find("slow: 4 done, 0 failed") != std::string::npos,
                  std::string(where) != "quiet")
            << text;
    }
}
