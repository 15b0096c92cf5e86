// Runs the built pelorin-tool convert and reads the PNG it writes back with the editor's loader.
#include <gtest/gtest.h>
#include <png.h>

#include "gfx/CNxPNGLoader.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"

using namespace testing_support;

namespace {

// The written PNG as 0xAARRGGBB from the top, and its colour type.
std::vector<std::uint32_t> readBack(const TempDir& dir, const std::string& path, int* type) {
    const Bytes bytes = readBytes(path);
    *type = bytes.size() > 25 ? bytes[25] : -1;
    CNxPNGLoader loader;
    auto image = loadBytes(loader, dir.file("copy.png"), bytes);
    return image ? argbPixels(*image) : std::vector<std::uint32_t>{};
}

}  // namespace

TEST(ToolConvert, WritesTheSurfacePixelsAsRgba) {
    TempDir dir;
    // 24 bits, bottom-up: alpha 255 everywhere.
    BmpPicture rgb;
    rgb.width = 2;
    rgb.height = 2;
    rgb.pixels = bottomUpRows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    writeBytes(dir.file("rgb.bmp"), encodeBmp(rgb));
    ToolRun run = tool(dir, {"convert", dir.file("rgb.bmp"), "-o", dir.file("rgb.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    int type = 0;
    EXPECT_EQ(readBack(dir, dir.file("rgb.png"), &type),
              (std::vector<std::uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));
    EXPECT_EQ(type, PNG_COLOR_TYPE_RGB_ALPHA);

    // 32 bits, top-down: alpha as the picture holds it.
    BmpPicture argb;
    argb.width = 2;
    argb.height = -1;
    argb.bitCount = 32;
    argb.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0};
    writeBytes(dir.file("argb.bmp"), encodeBmp(argb));
    run = tool(dir, {"convert", dir.file("argb.bmp"), "-o", dir.file("argb.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBack(dir, dir.file("argb.png"), &type),
              (std::vector<std::uint32_t>{0x80030201, 0x00060504}));

    // A grey JPEG through its table.
    writeBytes(dir.file("g.jpg"), encodeJpeg(8, 8, 1, Bytes(64, 77), 100));
    run = tool(dir, {"convert", dir.file("g.jpg"), "-o", dir.file("g.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint32_t> grey = readBack(dir, dir.file("g.png"), &type);
    ASSERT_EQ(grey.size(), 64u);
    EXPECT_EQ(grey[0], 0xFF4D4D4Du);
}

TEST(ToolConvert, RefusesWhatNoLoaderReads) {
    TempDir dir;
    writeText(dir.file("notes.txt"), "just some text, no picture");
    ToolRun run = tool(dir, {"convert", dir.file("notes.txt"), "-o", dir.file("out.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pelorin-tool: " + dir.file("notes.txt") +
                           ": not an image that any loader reads (BMP, PNG, JPEG, MAG or the "
                           "format of an image plug-in)\n");
    EXPECT_FALSE(exists(dir.file("out.png")));

    Bytes png = encodePng(PngPicture{1, 1, 0, 8, false, {}, {}, {{1}}, ""});
    png.resize(40);
    writeBytes(dir.file("cut.png"), png);
    writeText(dir.file("out.png"), "previous");
    run = tool(dir, {"convert", dir.file("cut.png"), "-o", dir.file("out.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pelorin-tool: libpng error: Read Error\n\nCNxFile Object:\n" +
                           dir.file("cut.png") + "\npelorin-tool: " + dir.file("cut.png") +
                           ": the image is damaged or of a kind its loader refuses\n");
    EXPECT_EQ(readText(dir.file("out.png")), "previous") << "a failed convert writes nothing";

    EXPECT_EQ(tool(dir, {"convert", dir.file("missing.bmp"), "-o", dir.file("o.png")}).status, 1);
    EXPECT_EQ(tool(dir, {"convert", dir.file("notes.txt")}).status, 2);
    EXPECT_EQ(tool(dir, {"convert", "-o", dir.file("o.png")}).status, 2);
    ToolRun help = tool(dir, {"--help"});
    EXPECT_NE(help.out.find("convert IMAGE -o OUT.png"), std::string::npos);
}
