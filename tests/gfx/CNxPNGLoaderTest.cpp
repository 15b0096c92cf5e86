#include "gfx/CNxPNGLoader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "gfx/CNxFile.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

class PngLoad : public ::testing::Test {
protected:
    PngLoad() : m_loader(&m_notices) {}
    std::unique_ptr<CNxDIBImage> load(const PngPicture& picture) {
        const Bytes bytes = encodePng(picture);
        EXPECT_FALSE(bytes.empty());
        return loadBytes(m_loader, path(), bytes);
    }
    std::string path() const { return m_dir.file("p.png"); }

    TempDir m_dir;
    std::vector<platform::Notice> m_notices;
    CNxPNGLoader m_loader;
};

PngPicture picture(int colourType, int depth, std::vector<Bytes> rows, int width) {
    PngPicture p;
    p.colourType = colourType;
    p.bitDepth = depth;
    p.width = width;
    p.height = static_cast<int>(rows.size());
    p.rows = std::move(rows);
    return p;
}

std::uint32_t grey(int level, int alpha = 255) {
    return std::uint32_t(alpha) << 24 | std::uint32_t(level) * 0x010101u;
}

}  // namespace

// Grey and paletted pictures without transparency stay paletted at their depth (2 bits become
// 8): grey with a ramp of as many steps as the depth has, 16-bit grey cut to its high byte with
// the 256-step ramp, palettes with their PLTE entries (reserved byte 0).
TEST_F(PngLoad, GreyAndPalettesStayPaletted) {
    const Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, other = 0xFF090807;
    const struct {
        int type, depth;
        Bytes row;  // 4 pixels
        int dibBits;
        std::uint32_t colours;
        std::vector<std::uint32_t> want;
    } cases[] = {
        // clang-format off
        {PNG_COLOR_TYPE_GRAY, 1, {0xA0}, 1, 2, {grey(255), grey(0), grey(255), grey(0)}},
        {PNG_COLOR_TYPE_GRAY, 2, {0x1B}, 8, 4, {grey(0), grey(85), grey(170), grey(255)}},
        {PNG_COLOR_TYPE_GRAY, 4, {0x0F, 0x51}, 4, 16, {grey(0), grey(255), grey(85), grey(17)}},
        {PNG_COLOR_TYPE_GRAY, 8, {0, 7, 128, 255}, 8, 256,
         {grey(0), grey(7), grey(128), grey(255)}},
        {PNG_COLOR_TYPE_GRAY, 16, {0x00, 0xFF, 0x07, 0x00, 0x80, 0x01, 0xFF, 0xFF}, 8, 256,
         {grey(0), grey(7), grey(128), grey(255)}},
        {PNG_COLOR_TYPE_PALETTE, 1, {0x50}, 1, 2, {red, green, red, green}},
        {PNG_COLOR_TYPE_PALETTE, 2, {0x1B}, 8, 4, {red, green, blue, other}},
        {PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x23}, 4, 4, {red, green, blue, other}},
        {PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3}, 8, 4, {red, green, blue, other}}};
    // clang-format on
    for (const auto& c : cases) {
        PngPicture p = picture(c.type, c.depth, {c.row}, 4);
        if (c.type == PNG_COLOR_TYPE_PALETTE) {
            p.palette = Bytes(plte.begin(), plte.begin() + 3 * c.colours);
        }
        auto image = load(p);
        ASSERT_TRUE(image) << c.type << " " << c.depth;
        EXPECT_EQ(image->GetBitCount(), c.dibBits) << c.type << " " << c.depth;
        EXPECT_EQ(image->GetColorCount(), c.colours) << c.type << " " << c.depth;
        EXPECT_EQ(image->GetColorTable()[1].rgbReserved, 0);
        EXPECT_EQ(argbPixels(*image), c.want) << c.type << " " << c.depth;
    }
    EXPECT_TRUE(m_notices.empty());
}

// Pictures with transparency become 32 bits; colour without it 24 bits in B, G, R order and
// bottom-up, interlaced or not; 16-bit samples keep their high byte.
TEST_F(PngLoad, TransparencyAlphaAndColour) {
    PngPicture pal = picture(PNG_COLOR_TYPE_PALETTE, 2, {{0x1B}}, 4);
    pal.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    pal.trns = {0, 128};  // entries past the tRNS list are opaque
    PngPicture greyKey = picture(PNG_COLOR_TYPE_GRAY, 8, {{5, 6, 7}}, 3);
    greyKey.trns = {0, 6};
    PngPicture rgbKey = picture(PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 4, 5, 6}}, 2);
    rgbKey.trns = {0, 4, 0, 5, 0, 6};
    std::vector<Bytes> rows;  // 3 × 3, (r, g, b) = (10y + x, 100 + y, 200 + x)
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < 3; ++y) {
        rows.emplace_back();
        for (int x = 0; x < 3; ++x) {
            const int r = 10 * y + x, g = 100 + y, b = 200 + x;
            rows.back().insert(rows.back().end(),
                               {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
            colours.push_back(0xFF000000u | r << 16 | g << 8 | b);
        }
    }
    PngPicture interlaced = picture(PNG_COLOR_TYPE_RGB, 8, rows, 3);
    interlaced.interlaced = true;
    const struct {
        const char* what;
        PngPicture picture;
        int bits;
        std::vector<std::uint32_t> want;
    } cases[] = {
        {"palette with tRNS", pal, 32, {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF090807}},
        {"grey with a colour key", greyKey, 32, {grey(5), grey(6, 0), grey(7)}},
        {"colour with a colour key", rgbKey, 32, {0xFF010203, 0x00040506}},
        {"grey and alpha",
         picture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{10, 20, 30, 40}}, 2),
         32,
         {grey(10, 20), grey(30, 40)}},
        {"grey and alpha, 16 bits",
         picture(PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{10, 1, 20, 2}}, 1),
         32,
         {grey(10, 20)}},
        {"colour and alpha",
         picture(PNG_COLOR_TYPE_RGB_ALPHA, 8, {{1, 2, 3, 4, 5, 6, 7, 8}}, 2),
         32,
         {0x04010203, 0x08050607}},
        {"colour and alpha, 16 bits",
         picture(PNG_COLOR_TYPE_RGB_ALPHA, 16, {{1, 9, 2, 9, 3, 9, 4, 9}}, 1),
         32,
         {0x04010203}},
        {"colour", picture(PNG_COLOR_TYPE_RGB, 8, rows, 3), 24, colours},
        {"colour, interlaced", interlaced, 24, colours},
        {"colour, 16 bits",
         picture(PNG_COLOR_TYPE_RGB, 16, {{1, 0, 2, 0, 3, 0}}, 1),
         24,
         {0xFF010203}},
    };
    for (const auto& c : cases) {
        auto image = load(c.picture);
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->GetBitCount(), c.bits) << c.what;
        EXPECT_EQ(argbPixels(*image), c.want) << c.what;
        if (c.bits == 24) {
            EXPECT_GT(image->GetInfo()->bmiHeader.biHeight, 0) << "bottom-up";
            EXPECT_EQ(image->Row(0)[0], c.want[0] & 0xFF) << "blue first";
        }
    }
    EXPECT_TRUE(m_notices.empty());
}

TEST_F(PngLoad, ErrorsShowALibpngErrorBoxNamingTheFile) {
    Bytes bytes = encodePng(picture(PNG_COLOR_TYPE_GRAY, 8, {{1, 2}}, 2));
    Bytes cut(bytes.begin(), bytes.begin() + 40);
    EXPECT_FALSE(loadBytes(m_loader, path(), cut));
    ASSERT_EQ(m_notices.size(), 1u);
    EXPECT_EQ(m_notices[0].title, "libpng error");
    EXPECT_EQ(m_notices[0].text, "Read Error\n\nCNxFile Object:\n" + path());
    EXPECT_EQ(m_notices[0].icon, platform::MessageIcon::Error);

    m_notices.clear();
    Bytes badCrc = bytes;
    badCrc[8 + 8 + 13] ^= 0xFF;  // IHDR's CRC
    EXPECT_FALSE(loadBytes(m_loader, path(), badCrc));
    ASSERT_EQ(m_notices.size(), 1u);
    EXPECT_EQ(m_notices[0].title, "libpng error");
    EXPECT_EQ(m_notices[0].text, "IHDR: CRC error\n\nCNxFile Object:\n" + path());

    m_notices.clear();
    CNxPNGLoader silent;
    EXPECT_FALSE(loadBytes(silent, path(), badCrc)) << "no port: fails without a box";
    EXPECT_TRUE(m_notices.empty());
}

TEST_F(PngLoad, WarningsShowABoxAndTheLoadGoesOn) {
    PngPicture p = picture(PNG_COLOR_TYPE_GRAY, 8, {{1, 2}}, 2);
    p.textChunk = "hello";
    Bytes bytes = encodePng(p);
    // Break the CRC of the tEXt chunk, an ancillary one.
    const std::string tag = "tEXt";
    auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    ASSERT_NE(at, bytes.end());
    const std::size_t type = static_cast<std::size_t>(at - bytes.begin());
    const std::size_t length = std::size_t(bytes[type - 4]) << 24 |
                               std::size_t(bytes[type - 3]) << 16 |
                               std::size_t(bytes[type - 2]) << 8 | bytes[type - 1];
    bytes[type + 4 + length] ^= 0xFF;
    auto image = loadBytes(m_loader, path(), bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(argbPixels(*image), (std::vector<std::uint32_t>{grey(1), grey(2)}));
    ASSERT_EQ(m_notices.size(), 1u);
    EXPECT_EQ(m_notices[0].title, "libpng warning");
    EXPECT_EQ(m_notices[0].text, "tEXt: CRC error\n\nCNxFile Object:\n" + path());
    EXPECT_EQ(m_notices[0].icon, platform::MessageIcon::Warning);
}

TEST_F(PngLoad, MessagesStopAt1024BytesOnACharacterBoundary) {
    // A path of well over 1024 bytes of three-byte characters.
    std::string folder = m_dir.path();
    const std::string part = std::string(60, 'd') + "\xE3\x81\x82";  // 60 + one kana, x4
    for (int i = 0; i < 6; ++i) {
        folder += "/" + part + part + part;
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
    const std::string longPath = folder + "/p.png";
    Bytes bytes = encodePng(picture(PNG_COLOR_TYPE_GRAY, 8, {{1, 2}}, 2));
    bytes.resize(40);
    EXPECT_FALSE(loadBytes(m_loader, longPath, bytes));
    ASSERT_EQ(m_notices.size(), 1u);
    const std::string full = "Read Error\n\nCNxFile Object:\n" + longPath;
    const std::string& text = m_notices[0].text;
    EXPECT_LE(text.size(), 1024u);
    EXPECT_GE(text.size(), 1022u);
    EXPECT_EQ(full.compare(0, text.size(), text), 0);
    EXPECT_NE(static_cast<unsigned char>(full[text.size()]) & 0xC0, 0x80u)
        << "the cut falls between characters";
}
