#include "gfx/CNxImageLoaderManager.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

#include "gfx/CNxBMPLoader.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxJPEGLoader.h"
#include "gfx/CNxMAKILoader.h"
#include "gfx/CNxPNGLoader.h"
#include "gfx/CNxSurface.h"
#include "gfx/CNxSusiePlugin.h"
#include "gfx/CNxSystem.h"
#include "platform/SharedLibrary.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

const std::string kPluginDir = PELORIN_TEST_PLUGIN_DIR;

Bytes tinyBmp() {
    BmpPicture p;
    p.width = 1;
    p.height = 1;
    p.pixels = {1, 2, 3, 0};
    return encodeBmp(p);
}

Bytes tinyPng() {
    PngPicture p;
    p.rows = {{9}};
    return encodePng(p);
}

// The test plug-in's own format: magic, width, height, mode, R G B from the top.
Bytes plrn(int width, int height, int mode, std::uint8_t seed = 0) {
    const std::string magic = "PLRNPIX1";
    Bytes b(magic.begin(), magic.end());
    b.insert(b.end(), {std::uint8_t(width), 0, std::uint8_t(height), 0, std::uint8_t(mode)});
    for (int i = 0; i < 3 * width * height; ++i) {
        b.push_back(static_cast<std::uint8_t>(seed + i));
    }
    return b;
}

void copyFile(const std::string& from, const std::string& to) {
    writeBytes(to, readBytes(from));
}

struct Opened {
    CNxFile file;
    Opened(const std::string& path, const Bytes& bytes) {
        writeBytes(path, bytes);
        file.Open(path.c_str(), CNxFile::modeRead);
    }
};

template <typename T>
bool is(CNxImageLoader* decoder) {
    return dynamic_cast<T*>(decoder) != nullptr;
}

}  // namespace

TEST(LoaderManager, ChoosesByTheFirstBytesInItsOrder) {
    TempDir dir;
    CNxImageLoaderManager manager("");
    MagPicture mag;
    mag.palette = Bytes(48, 0);
    mag.xEnd = 7;
    mag.lines = {Bytes(4, 0x11)};
    const struct {
        Bytes bytes;
        bool (*check)(CNxImageLoader*);
    } cases[] = {
        {encodeJpeg(8, 8, 1, Bytes(64, 0)), is<CNxJPEGLoader>},
        {tinyPng(), is<CNxPNGLoader>},
        {encodeMag(mag), is<CNxMAKILoader>},
        {tinyBmp(), is<CNxBMPLoader>},
    };
    for (const auto& c : cases) {
        Opened f(dir.file("x.img"), c.bytes);  // the name says nothing
        ASSERT_TRUE(f.file.Seek(0, CNxFile::seekBegin) == 0);
        EXPECT_TRUE(c.check(manager.FindDecoder(f.file)));
        EXPECT_EQ(f.file.Seek(0, CNxFile::seekCurrent), 0) << "the position is given back";
        EXPECT_TRUE(manager.Load(f.file).value);
    }

    // Heads two decoders accept: JPEG comes before BMP, MAG before BMP...
    Bytes jpegAndBmp = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 24, 0};
    Bytes magAndBmp = {'M', 'A', 'K', 'I', '0', '2', ' ', ' ', 'x', 'x', 'x', 'x', 1, 0, 8, 0};
    CNxBMPLoader bmp;
    ASSERT_TRUE(bmp.IsSupported(jpegAndBmp.data(), jpegAndBmp.size()));
    ASSERT_TRUE(bmp.IsSupported(magAndBmp.data(), magAndBmp.size()));
    CNxImageLoaderManager fresh("");
    Opened a(dir.file("a"), jpegAndBmp), b(dir.file("b"), magAndBmp);
    EXPECT_TRUE(is<CNxJPEGLoader>(fresh.FindDecoder(a.file)));
    EXPECT_TRUE(is<CNxMAKILoader>(fresh.FindDecoder(b.file)));
    // ... but the current decoder is asked first.
    Opened c(dir.file("c"), tinyBmp());
    EXPECT_TRUE(is<CNxBMPLoader>(fresh.FindDecoder(c.file)));
    EXPECT_TRUE(is<CNxBMPLoader>(fresh.FindDecoder(a.file)));
}

// Each decoder's own test of the first bytes: the whole signature, and for bitmaps an info
// header (after a file header or not) with one plane and a known depth.
TEST(LoaderManager, EachDecoderKnowsItsFirstBytes) {
    CNxBMPLoader bmp;
    CNxPNGLoader png;
    CNxJPEGLoader jpeg;
    CNxMAKILoader mag;
    BmpPicture picture;
    picture.pixels = {0, 0, 0, 0};
    const Bytes withHeader = encodeBmp(picture);
    picture.fileHeader = false;
    const Bytes bare = encodeBmp(picture);
    auto with = [](Bytes b, std::size_t at, std::uint8_t value) {
        b[at] = value;
        return b;
    };
    const Bytes pngSig = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const Bytes magSig = {'M', 'A', 'K', 'I', '0', '2', ' ', ' '};
    // clang-format off
    const struct {
        CNxImageLoader* loader;
        Bytes head;
        std::size_t size;  // of head given; 0: all of it
        bool supported;
    } cases[] = {
        {&bmp, withHeader, 0, true}, {&bmp, bare, 0, true}, {&bmp, bare, 15, false},
        {&bmp, with(bare, 12, 2), 0, false}, {&bmp, with(bare, 14, 12), 0, false},
        {&bmp, with(bare, 0, 12), 0, false}, {&png, pngSig, 0, true}, {&png, pngSig, 7, false},
        {&png, with(pngSig, 7, 0), 0, false}, {&jpeg, {0xFF, 0xD8}, 0, true},
        {&jpeg, {0xFF, 0xD8}, 1, false}, {&jpeg, {0xFF, 0xD9}, 0, false},
        {&mag, magSig, 0, true}, {&mag, magSig, 7, false}, {&mag, with(magSig, 6, 'A'), 0, false}};
    // clang-format on
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(c.loader->IsSupported(c.head.data(), c.size ? c.size : c.head.size()),
                  c.supported)
            << "case " << i;
    }
}

TEST(LoaderManager, DecodesFromTheCurrentPosition) {
    TempDir dir;
    CNxImageLoaderManager manager("");
    Bytes bytes = {'j', 'u', 'n', 'k'};
    const Bytes bmp = tinyBmp();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    Opened f(dir.file("embedded"), bytes);
    f.file.Seek(4, CNxFile::seekBegin);
    auto image = manager.Load(f.file).value;
    ASSERT_TRUE(image);
    EXPECT_EQ(argbPixels(*image), (std::vector<std::uint32_t>{0xFF030201}));
}

TEST(LoaderManager, WithoutPluginsAnUnknownFormatFailsAndLoadsNothing) {
    TempDir dir, plugins;
    CNxImageLoaderManager manager(plugins.path() + "/");
    Opened f(dir.file("x"), plrn(1, 1, 0));
    EXPECT_EQ(manager.FindDecoder(f.file), nullptr);
    EXPECT_FALSE(manager.Load(f.file).value);
    EXPECT_FALSE(manager.IsPluginLoaded());
    Opened empty(dir.file("empty"), {});
    EXPECT_FALSE(manager.Load(empty.file).value);
    CNxFile closed;
    EXPECT_EQ(manager.FindDecoder(closed), nullptr);
}

TEST(LoaderManager, PluginsDecodeTheirFormat) {
    TempDir dir, plugins;
    copyFile(kPluginDir + "plrn.spi", plugins.file("plrn.spi"));
    copyFile(kPluginDir + "wrongversion.spi", plugins.file("wrongversion.spi"));
    writeText(plugins.file("broken.spi"), "not a shared object");
    writeText(plugins.file("plrn.txt"), "not a plug-in name");
    CNxImageLoaderManager manager(plugins.path() + "/");

    Opened f(dir.file("pic"), plrn(2, 2, 0, 10));
    CNxImageLoader* decoder = manager.FindDecoder(f.file);
    ASSERT_TRUE(is<CNxSusiePlugin>(decoder));
    EXPECT_TRUE(manager.IsPluginLoaded());
    auto image = manager.Load(f.file).value;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetBitCount(), 24);
    EXPECT_EQ(argbPixels(*image),
              (std::vector<std::uint32_t>{0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112, 0xFF131415}));
    // The image outlives the manager and with it the module: its blocks are the host's.
    CNxImageLoaderManager* again = new CNxImageLoaderManager(plugins.path() + "/");
    Opened g(dir.file("pic2"), plrn(1, 1, 0, 1));
    auto kept = again->Load(g.file).value;
    delete again;
    ASSERT_TRUE(kept);
    EXPECT_EQ(argbPixels(*kept), (std::vector<std::uint32_t>{0xFF010203}));

    // A plug-in's file goes on with the same decoder; other formats are still found first.
    Opened next(dir.file("next"), plrn(1, 1, 0));
    EXPECT_EQ(manager.FindDecoder(next.file), decoder);
    Opened png(dir.file("p"), tinyPng());
    EXPECT_TRUE(is<CNxPNGLoader>(manager.FindDecoder(png.file)));
    // With a plug-in loaded but not the current decoder, it is asked before the search.
    EXPECT_TRUE(is<CNxSusiePlugin>(manager.FindDecoder(next.file)));
}

TEST(LoaderManager, WhatPluginsGetWrongFailsTheLoad) {
    TempDir dir, plugins;
    copyFile(kPluginDir + "plrn.spi", plugins.file("plrn.spi"));
    CNxImageLoaderManager manager(plugins.path() + "/");
    for (int mode : {1, 2, 3, 4}) {
        Opened f(dir.file("bad"), plrn(4, 4, mode));
        EXPECT_TRUE(is<CNxSusiePlugin>(manager.FindDecoder(f.file)));
        EXPECT_FALSE(manager.Load(f.file).value) << "mode " << mode;
    }
    Opened cut(dir.file("cut"), plrn(1, 1, 0));
    ASSERT_TRUE(manager.FindDecoder(cut.file));
    cut.file.Seek(1, CNxFile::seekBegin);
    EXPECT_FALSE(manager.FindDecoder(cut.file)) << "no longer its magic from here";
}

TEST(LoaderManager, APluginReportingAnotherVersionIsNeverAsked) {
    TempDir dir, plugins;
    copyFile(kPluginDir + "wrongversion.spi", plugins.file("wrongversion.spi"));
    CNxImageLoaderManager manager(plugins.path() + "/");
    Opened f(dir.file("x"), {1, 2, 3});
    EXPECT_EQ(manager.FindDecoder(f.file), nullptr) << "its IsSupported would take anything";
    EXPECT_TRUE(manager.IsPluginLoaded()) << "the last module tried stays loaded";

    platform::SharedLibrary module;
    ASSERT_TRUE(module.open(plugins.file("wrongversion.spi")));
    EXPECT_NE(module.symbol("IsSupported"), nullptr);
    CNxSusiePlugin plugin(module);
    const std::uint8_t head[4] = {1, 2, 3, 4};
    EXPECT_FALSE(plugin.IsSupported(head, sizeof head));
    EXPECT_FALSE(plugin.Load(f.file));
    EXPECT_FALSE(module.open(plugins.file("missing.spi")));
    EXPECT_EQ(module.symbol("IsSupported"), nullptr);
}

TEST(CNxSystemTest, OneSingletonThatFindsPluginsBesideTheExecutable) {
    CNxSystem& system = CNxSystem::Get();
    EXPECT_EQ(&system, &CNxSystem::Get());
    char* real = ::realpath(kPluginDir.c_str(), nullptr);
    ASSERT_TRUE(real);
    EXPECT_EQ(system.GetModuleDirectory(), std::string(real) + "/");
    std::free(real);

    // The whole path: the plug-in next to this test program decodes through the singleton.
    TempDir dir;
    Opened f(dir.file("pic"), plrn(1, 1, 0, 0x40));
    auto image = system.GetImageLoaderManager().Load(f.file).value;
    ASSERT_TRUE(image);
    EXPECT_EQ(argbPixels(*image), (std::vector<std::uint32_t>{0xFF404142}));
}

TEST(CNxSystemTest, LibpngMessagesComeBackWithTheDecodedImage) {
    CNxImageLoaderManager& loaders = CNxSystem::Get().GetImageLoaderManager();
    TempDir dir;
    Bytes cut = tinyPng();
    cut.resize(40);
    Opened f(dir.file("cut.png"), cut);
    const auto decoded = loaders.Load(f.file);
    EXPECT_FALSE(decoded.value);
    ASSERT_EQ(decoded.notices.size(), 1u);
    EXPECT_EQ(decoded.notices[0].title, "libpng error");
    // The next load starts without them.
    Opened good(dir.file("good.png"), tinyPng());
    const auto next = loaders.Load(good.file);
    EXPECT_TRUE(next.value);
    EXPECT_TRUE(next.notices.empty());
}

TEST(LoadFromFile, DecodesIntoTheSurfaceOrLeavesItAlone) {
    TempDir dir;
    BmpPicture bmp;
    bmp.width = 2;
    bmp.height = 1;
    bmp.pixels = bottomUpRows({{0x10, 0x20, 0x30, 0x40, 0x50, 0x60}});
    Opened good(dir.file("a.bmp"), encodeBmp(bmp));
    CNxSurface surface(32);
    ASSERT_EQ(surface.LoadFromFile(good.file), 1);
    ASSERT_EQ(surface.GetWidth(), 2);
    const auto* row = reinterpret_cast<const std::uint32_t*>(surface.GetImage().Row(0));
    EXPECT_EQ(row[0], 0xFF302010u);
    EXPECT_EQ(row[1], 0xFF605040u);

    Opened junk(dir.file("junk.bin"), Bytes(100, 0x55));
    EXPECT_EQ(surface.LoadFromFile(junk.file), 0);
    EXPECT_EQ(surface.GetWidth(), 2) << "a file no loader takes leaves the picture as it was";
    EXPECT_EQ(row[1], 0xFF605040u);

    CNxFile closed;
    EXPECT_EQ(surface.LoadFromFile(closed), 0);
}
