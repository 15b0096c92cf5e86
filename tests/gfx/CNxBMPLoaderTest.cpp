#include "gfx/CNxBMPLoader.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

const std::vector<RGBQUAD> kTable = {
    {0x10, 0x20, 0x30, 0}, {0x40, 0x50, 0x60, 0}, {0x70, 0x80, 0x90, 0}, {0xA0, 0xB0, 0xC0, 0}};
// The table's colours as pixels.
const std::uint32_t A = 0xFF302010, B = 0xFF605040, C = 0xFF908070, D = 0xFFC0B0A0;

// A paletted picture of the given depth with its rows top-down.
BmpPicture paletted(int bits, int width, const std::vector<Bytes>& rowsTopDown) {
    BmpPicture p;
    p.bitCount = static_cast<std::uint16_t>(bits);
    p.width = width;
    p.height = static_cast<std::int32_t>(rowsTopDown.size());
    p.table = kTable;
    p.table.resize(std::size_t(1) << bits, RGBQUAD{0, 0, 0, 0});
    p.pixels = bottomUpRows(rowsTopDown);
    return p;
}

// A top-down picture of direct colour pixels as stored.
BmpPicture direct(int bits, int width, Bytes pixels, std::uint32_t compression = BI_RGB,
                  std::vector<std::uint32_t> masks = {}, std::uint32_t headerSize = 40) {
    BmpPicture p;
    p.width = width;
    p.height = -1;
    p.bitCount = static_cast<std::uint16_t>(bits);
    p.compression = compression;
    p.masks = std::move(masks);
    p.headerSize = headerSize;
    p.pixels = std::move(pixels);
    return p;
}

BmpPicture changed(BmpPicture p, const std::function<void(BmpPicture&)>& change) {
    change(p);
    return p;
}

class BmpLoad : public ::testing::Test {
protected:
    std::unique_ptr<CNxDIBImage> load(const Bytes& bytes) {
        return loadBytes(m_loader, m_dir.file("p.bmp"), bytes);
    }
    std::vector<std::uint32_t> pixels(const BmpPicture& picture) {
        auto image = load(encodeBmp(picture));
        return image ? argbPixels(*image) : std::vector<std::uint32_t>{};
    }

    TempDir m_dir;
    CNxBMPLoader m_loader;
};

}  // namespace

TEST_F(BmpLoad, EveryDepthAndLayoutGivesItsPixels) {
    const BmpPicture eight = paletted(8, 2, {{1, 2}});
    const std::uint32_t w = 0xC0000000u | 0x3FFu << 20 | 0x200u << 10 | 0x001u;  // 10-10-10-2
    const Bytes tenBits = {std::uint8_t(w),
                           std::uint8_t(w >> 8),
                           std::uint8_t(w >> 16),
                           std::uint8_t(w >> 24),
                           0,
                           0,
                           0,
                           0x40};
    const Bytes rgba = {0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0x00}, rgb = {1, 2, 3, 0};
    const Bytes two = {1, 2, 3, 0x80, 4, 5, 6, 0}, twoClear = {1, 2, 3, 0, 4, 5, 6, 0};
    const std::vector<std::uint32_t> m565 = {0xF800, 0x07E0, 0x001F},
                                     m888 = {0xFF0000, 0xFF00, 0xFF};
    const std::vector<std::uint32_t> inMemory = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
    const std::vector<Bytes> rows24 = {{1, 2, 3, 4, 5, 6, 7, 8, 9},
                                       {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto withTable = [](BmpPicture& p) { p.table = kTable, p.clrUsed = 4; };
    const struct {
        const char* what;
        BmpPicture picture;
        std::vector<std::uint32_t> want;
    } cases[] = {
        // clang-format off
        // 1 bit, 10 pixels: 1011000011 / 0100111100
        {"1 bit", paletted(1, 10, {{0xB0, 0xC0}, {0x4F, 0x00}}),
         {B, A, B, B, A, A, A, A, B, B, A, B, A, A, B, B, B, B, A, A}},
        {"4 bits", paletted(4, 3, {{0x01, 0x20}, {0x32, 0x10}}), {A, B, C, D, C, B}},
        {"8 bits, a short table", changed(paletted(8, 5, {{3, 2, 1, 0, 3}, {0, 0, 1, 1, 2}}),
         withTable), {D, C, B, A, D, A, A, B, B, C}},
        {"8 bits, an index past a short table is black", changed(paletted(8, 2, {{1, 9}}),
         [](BmpPicture& p) { p.table = kTable, p.clrUsed = 2; }), {B, 0xFF000000}},
        {"16 bits, 5-5-5", direct(16, 4, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}),
         {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}},
        {"16 bits, 5-6-5, green 1 of 63 last", direct(16, 4, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00,
         0x20, 0x00}, BI_BITFIELDS, m565), {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000400}},
        {"16 bits, masks inside a version 4 header", direct(16, 2, {0x00, 0xF8, 0x1F, 0x00},
         BI_BITFIELDS, m565, 108), {0xFFFF0000, 0xFF0000FF}},
        {"24 bits, rows bottom-up", changed(direct(24, 3, bottomUpRows(rows24)),
         [](BmpPicture& p) { p.height = 2; }),
         {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110}},
        {"32 bits keep their alpha", direct(32, 2, two), {0x80030201, 0x00060504}},
        {"32 bits with no alpha at all are opaque", direct(32, 2, twoClear),
         {0xFF030201, 0xFF060504}},
        {"32 bits, the usual masks", direct(32, 2, twoClear, BI_BITFIELDS, m888),
         {0xFF030201, 0xFF060504}},
        {"32 bits, R G B A in memory, no alpha mask", direct(32, 2, rgba, BI_BITFIELDS,
         {0xFF, 0xFF00, 0xFF0000}), {0xFF112233, 0xFFAABBCC}},
        {"32 bits, an alpha mask in a version 5 header", direct(32, 2, rgba, BI_BITFIELDS,
         inMemory, 124), {0x44112233, 0x00AABBCC}},
        {"32 bits, 10-10-10-2 in a version 4 header", direct(32, 2, tenBits, BI_BITFIELDS,
         {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, 108), {0xFFFF8000, 0x55000000}},
        {"a 24-bit picture carrying a table", changed(direct(24, 1, rgb), withTable),
         {0xFF030201}},
        {"no file header: a 24-bit table is never read", changed(direct(24, 1, rgb),
         [](BmpPicture& p) { p.fileHeader = false; }), {0xFF030201}},
        {"a gap before the pixels", changed(eight, [](BmpPicture& p) { p.gap = {9, 9, 9}; }),
         {B, C}},
        {"no pixel offset: they follow the table", changed(eight,
         [](BmpPicture& p) { p.offBits = 0; }), {B, C}}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(pixels(c.picture), c.want) << c.what;
    }
    for (std::uint32_t size : {40u, 52u, 56u, 108u, 124u}) {
        for (bool fileHeader : {true, false}) {
            BmpPicture p = changed(eight, withTable);
            p.headerSize = size;
            p.fileHeader = fileHeader;
            EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{B, C})) << size << " " << fileHeader;
        }
    }
}

TEST_F(BmpLoad, RunLengthCodes) {
    BmpPicture p = paletted(8, 4, {{0}, {0}, {0}});
    p.compression = BI_RLE8;
    // Stored first row: a run of 3 × 1, a literal 2 3 1 (padded to 4 bytes) cut at 4 pixels,
    // end of line; a run of 9 × 2 cut at 4, end of line; end of bitmap with the third row
    // unwritten. Rows 4 pixels wide fill their stride: a pixel past the end would show.
    p.pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 9, 2, 0, 0, 0, 1};
    auto image = load(encodeBmp(p));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetInfo()->bmiHeader.biCompression, BI_RGB);
    EXPECT_EQ(argbPixels(*image), (std::vector<std::uint32_t>{A, A, A, A, C, C, C, C, B, B, B, C}));
    p.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 5, 3, 0, 0, 0, 1};
    image = load(encodeBmp(p));
    ASSERT_TRUE(image) << "codes past the last row are dropped";
    EXPECT_EQ(argbPixels(*image)[0], A);

    BmpPicture four = paletted(4, 7, {{0}, {0}});
    four.compression = BI_RLE4;
    // Row 1 (stored first): run of 7 alternating 1 and 2. Row 2: literal of 5 (3 bytes, padded
    // to 4): 3 0 1 2 3, then a run of 2 × (0, 3).
    four.pixels = {7, 0x12, 0, 0, 0, 5, 0x30, 0x12, 0x30, 0x00, 2, 0x03, 0, 1};
    EXPECT_EQ(pixels(four), (std::vector<std::uint32_t>{D, A, B, C, D, A, D, B, C, B, C, B, C, B}));
}

TEST_F(BmpLoad, DamagedOrUnsupportedFilesAreRefused) {
    const BmpPicture p = paletted(8, 2, {{1, 2}});
    BmpPicture rle = p;
    rle.compression = BI_RLE8;
    rle.pixels = {2, 1, 0, 0, 0, 1};
    ASSERT_TRUE(load(encodeBmp(rle)));
    using Change = std::function<void(BmpPicture&)>;
    const std::pair<const char*, Change> cases[] = {
        // clang-format off
        {"wider than 32768", [](auto& q) { q.width = 40000; }},
        {"taller than 32768", [](auto& q) { q.height = -32769; }},
        {"3 GiB of pixels", [](auto& q) { q.width = q.height = 32768, q.bitCount = 24; }},
        {"1 GiB claimed, 2 bytes held", [](auto& q) { q.width = q.height = 32768; }},
        {"no pixels", [](auto& q) { q.width = 0; }},
        {"negative width", [](auto& q) { q.width = -2; }},
        {"a table larger than the file", [](auto& q) { q.clrUsed = 0xFFFFFFFF; }},
        {"JPEG inside a bitmap", [](auto& q) { q.compression = 4; }},
        {"RLE8 needs 8 bits", [](auto& q) { q.compression = BI_RLE8, q.bitCount = 24; }},
        {"RLE4 needs 4 bits", [](auto& q) { q.compression = BI_RLE4; }},
        {"bit fields need 16 or 32 bits",
         [](auto& q) { q.compression = BI_BITFIELDS, q.bitCount = 24; }},
        {"pixels cut short", [](auto& q) { q.pixels.resize(3); }},
        {"a core header", [](auto& q) { q.headerSize = 12; }},
        {"an unknown header size", [](auto& q) { q.headerSize = 64; }},
        {"a header size below 40", [](auto& q) { q.headerSize = 39; }},
        {"pixels inside the info header", [](auto& q) { q.offBits = 20; }},
        {"pixels past the end", [](auto& q) { q.offBits = 5000; }},
        {"a delta code (RLE)", [&](auto& q) { q = rle, q.pixels = {2, 1, 0, 2, 1, 1, 0, 1}; }},
        {"no end of bitmap (RLE)", [&](auto& q) { q = rle, q.pixels = {2, 1, 0, 0}; }},
        {"a literal cut short (RLE)", [&](auto& q) { q = rle, q.pixels = {0, 5, 1, 2, 3}; }},
        {"fewer bytes than biSizeImage (RLE)", [&](auto& q) { q = rle, q.sizeImage = 1000; }}};
    // clang-format on
    for (const auto& [what, change] : cases) {
        EXPECT_FALSE(load(encodeBmp(changed(p, change)))) << what;
    }
    const Bytes whole = encodeBmp(p);
    for (std::size_t n : {0u, 1u, 2u, 10u, 16u, 40u, 50u}) {
        EXPECT_FALSE(load(Bytes(whole.begin(), whole.begin() + n))) << n << " bytes";
    }
}
