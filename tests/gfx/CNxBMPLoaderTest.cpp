#include "gfx/CNxBMPLoader.h"

#include <gtest/gtest.h>

#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

const std::vector<RGBQUAD> kTable = {
    {0x10, 0x20, 0x30, 0}, {0x40, 0x50, 0x60, 0}, {0x70, 0x80, 0x90, 0}, {0xA0, 0xB0, 0xC0, 0}};

std::uint32_t argb(const RGBQUAD& q) {
    return 0xFF000000u | std::uint32_t(q.rgbRed) << 16 | std::uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
}

class BmpLoad : public ::testing::Test {
protected:
    std::unique_ptr<CNxDIBImage> load(const BmpPicture& picture) {
        return load(encodeBmp(picture));
    }
    std::unique_ptr<CNxDIBImage> load(const Bytes& bytes) {
        return loadBytes(m_loader, m_dir.file("p.bmp"), bytes);
    }
    std::vector<std::uint32_t> pixels(const BmpPicture& picture) {
        auto image = load(picture);
        return image ? argbPixels(*image) : std::vector<std::uint32_t>{};
    }

    TempDir m_dir;
    CNxBMPLoader m_loader;
};

// A paletted picture of the given depth, 2 rows, with its indices top-down.
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

}  // namespace

TEST_F(BmpLoad, PalettedDepthsGiveTheirTableColours) {
    // 1 bit, 10 pixels: 1011000011 / 0100111100
    auto one = paletted(1, 10, {{0xB0, 0xC0}, {0x4F, 0x00}});
    std::vector<std::uint32_t> expected;
    for (int bit : {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0}) {
        expected.push_back(argb(kTable[bit]));
    }
    EXPECT_EQ(pixels(one), expected);

    auto four = paletted(4, 3, {{0x01, 0x20}, {0x32, 0x10}});
    EXPECT_EQ(pixels(four),
              (std::vector<std::uint32_t>{argb(kTable[0]), argb(kTable[1]), argb(kTable[2]),
                                          argb(kTable[3]), argb(kTable[2]), argb(kTable[1])}));

    // biClrUsed 4: a short table, read as such.
    auto eight = paletted(8, 5, {{3, 2, 1, 0, 3}, {0, 0, 1, 1, 2}});
    eight.table = kTable;
    eight.clrUsed = 4;
    auto image = load(eight);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetBitCount(), 8);
    EXPECT_EQ(image->GetColorCount(), 4u);
    EXPECT_EQ(
        argbPixels(*image),
        (std::vector<std::uint32_t>{
            argb(kTable[3]), argb(kTable[2]), argb(kTable[1]), argb(kTable[0]), argb(kTable[3]),
            argb(kTable[0]), argb(kTable[0]), argb(kTable[1]), argb(kTable[1]), argb(kTable[2])}));
}

TEST_F(BmpLoad, DirectColourDepths) {
    BmpPicture p;
    p.width = 2;
    p.height = -2;  // top-down
    p.bitCount = 16;
    // 5-5-5 by default: 0x7C00 red, 0x03E0 green; then pure blue and white.
    p.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F};
    EXPECT_EQ(pixels(p),
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));

    p.compression = BI_BITFIELDS;  // 5-6-5
    p.masks = {0xF800, 0x07E0, 0x001F};
    p.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x20, 0x00};  // last: green 1 of 63
    EXPECT_EQ(pixels(p),
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000400}));

    BmpPicture rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.bitCount = 24;
    rgb.pixels = bottomUpRows({{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}});
    EXPECT_EQ(pixels(rgb), (std::vector<std::uint32_t>{0xFF030201, 0xFF060504, 0xFF090807,
                                                       0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110}));
}

TEST_F(BmpLoad, ThirtyTwoBitAlphaIsKeptUnlessItIsAllZero) {
    BmpPicture p;
    p.width = 2;
    p.height = 1;
    p.bitCount = 32;
    p.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0x80030201, 0x00060504}));
    p.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0xFF030201, 0xFF060504}))
        << "no alpha at all means opaque";
    p.compression = BI_BITFIELDS;
    p.masks = {0xFF0000, 0xFF00, 0xFF};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0xFF030201, 0xFF060504}));
}

TEST_F(BmpLoad, MasksInOtherOrdersConvertThroughTheMasks) {
    BmpPicture p;
    p.width = 2;
    p.height = 1;
    p.bitCount = 32;
    p.compression = BI_BITFIELDS;
    // Bytes in memory R, G, B, A (masks R 0xFF, G 0xFF00, B 0xFF0000), 40-byte header: no alpha
    // mask, so opaque.
    p.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    p.pixels = {0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0x00};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0xFF112233, 0xFFAABBCC}));

    // A version 5 header carrying an alpha mask: alpha comes through it.
    p.headerSize = 124;
    p.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0x44112233, 0x00AABBCC}));

    // Narrow fields: 10-10-10 with 2 bits of alpha in the top (version 4 header).
    p.headerSize = 108;
    p.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    const std::uint32_t word = 0xC0000000u | 0x3FFu << 20 | 0x200u << 10 | 0x001u;
    p.pixels = {static_cast<std::uint8_t>(word),
                static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word >> 16),
                static_cast<std::uint8_t>(word >> 24),
                0,
                0,
                0,
                0x40};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0xFFFF8000, 0x55000000}));
}

TEST_F(BmpLoad, LongerHeadersAndNoFileHeader) {
    for (std::uint32_t size : {40u, 52u, 56u, 108u, 124u}) {
        BmpPicture p = paletted(8, 2, {{1, 2}});
        p.headerSize = size;
        p.clrUsed = 4;
        p.table = kTable;
        EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{argb(kTable[1]), argb(kTable[2])}))
            << size;
        p.fileHeader = false;
        EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{argb(kTable[1]), argb(kTable[2])}))
            << size << " without file header";
    }
    BmpPicture v4 = paletted(8, 2, {{1, 2}});
    v4.bitCount = 16;
    v4.table.clear();
    v4.headerSize = 108;
    v4.compression = BI_BITFIELDS;
    v4.masks = {0xF800, 0x07E0, 0x001F};
    v4.pixels = {0x00, 0xF8, 0x1F, 0x00};
    EXPECT_EQ(pixels(v4), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}))
        << "the masks of a longer header are inside it";
    for (std::uint32_t size : {12u, 64u, 39u}) {
        BmpPicture p = paletted(8, 2, {{1, 2}});
        p.headerSize = size;
        EXPECT_FALSE(load(p)) << size;
    }
}

TEST_F(BmpLoad, PixelsStartWhereTheFileHeaderSays) {
    // A 24-bit bitmap carrying a palette: the table is not the pixels.
    BmpPicture p;
    p.width = 1;
    p.height = 1;
    p.bitCount = 24;
    p.clrUsed = 4;
    p.table = kTable;
    p.pixels = {1, 2, 3, 0};
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{0xFF030201}));
    // Without the file header there is no offset: a 24-bit table is never read.
    BmpPicture bare = p;
    bare.fileHeader = false;
    bare.table.clear();
    EXPECT_EQ(pixels(bare), (std::vector<std::uint32_t>{0xFF030201}));

    BmpPicture gap = paletted(8, 2, {{1, 2}});
    gap.gap = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(pixels(gap), (std::vector<std::uint32_t>{argb(kTable[1]), argb(kTable[2])}));
    gap.offBits = 0;  // not filled in: the pixels follow the table
    gap.gap.clear();
    EXPECT_EQ(pixels(gap), (std::vector<std::uint32_t>{argb(kTable[1]), argb(kTable[2])}));
    gap.offBits = 20;  // inside the info header
    EXPECT_FALSE(load(gap));
    gap.offBits = 5000;  // past the end
    EXPECT_FALSE(load(gap));
}

TEST_F(BmpLoad, Rle8RunsLiteralsAndEnds) {
    BmpPicture p = paletted(8, 5, {{0}, {0}, {0}});
    p.compression = BI_RLE8;
    // Stored first row: a run of 3 × 1, a literal 2 3 1 (padded to 4 bytes) cut at 5 pixels,
    // end of line; a run of 9 × 2 cut at 5, end of line; end of bitmap with the third row
    // unwritten.
    p.pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 9, 2, 0, 0, 0, 1};
    auto image = load(p);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetInfo()->bmiHeader.biCompression, BI_RGB);
    const std::uint32_t a = argb(kTable[0]), b = argb(kTable[1]), c = argb(kTable[2]),
                        d = argb(kTable[3]);
    EXPECT_EQ(argbPixels(*image),
              (std::vector<std::uint32_t>{a, a, a, a, a, c, c, c, c, c, b, b, b, c, d}));

    BmpPicture delta = p;
    delta.pixels = {2, 1, 0, 2, 1, 1, 0, 1};
    EXPECT_FALSE(load(delta)) << "delta codes are not supported";
    BmpPicture unended = p;
    unended.pixels = {2, 1, 0, 0};
    EXPECT_FALSE(load(unended)) << "no end of bitmap";
    BmpPicture shortLiteral = p;
    shortLiteral.pixels = {0, 5, 1, 2, 3};
    EXPECT_FALSE(load(shortLiteral));
    BmpPicture claimsMore = p;
    claimsMore.sizeImage = 1000;
    EXPECT_FALSE(load(claimsMore)) << "fewer bytes left than biSizeImage";
    BmpPicture rowsPastTheEnd = p;
    rowsPastTheEnd.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 5, 3, 0, 0, 0, 1};
    image = load(rowsPastTheEnd);
    ASSERT_TRUE(image) << "codes past the last row are dropped";
    EXPECT_EQ(argbPixels(*image)[0], a);
}

TEST_F(BmpLoad, Rle4AlternatesNibbles) {
    BmpPicture p = paletted(4, 7, {{0}, {0}});
    p.compression = BI_RLE4;
    // Row 1 (stored first): run of 7 alternating 1 and 2. Row 2: literal of 5 (3 bytes, padded
    // to 4): 3 0 1 2 3, then a run of 2 × (0, 3).
    p.pixels = {7, 0x12, 0, 0, 0, 5, 0x30, 0x12, 0x30, 0x00, 2, 0x03, 0, 1};
    const std::uint32_t a = argb(kTable[0]), b = argb(kTable[1]), c = argb(kTable[2]),
                        d = argb(kTable[3]);
    EXPECT_EQ(pixels(p), (std::vector<std::uint32_t>{d, a, b, c, d, a, d, b, c, b, c, b, c, b}));
    p.bitCount = 8;
    EXPECT_FALSE(load(p)) << "RLE4 needs 4 bits";
}

TEST_F(BmpLoad, SizesAndCountsAreCheckedBeforeUse) {
    auto refused = [&](BmpPicture p, const char* why) { EXPECT_FALSE(load(p)) << why; };
    BmpPicture p = paletted(8, 2, {{1, 2}});
    BmpPicture q = p;
    q.width = 40000;
    refused(q, "wider than 32768");
    q = p;
    q.height = -32769;
    refused(q, "taller than 32768");
    q = p;
    q.width = 32768;
    q.height = 32768;
    q.bitCount = 24;
    q.table.clear();
    refused(q, "3 GiB of pixels");
    q.bitCount = 8;
    refused(q, "1 GiB claimed, 2 bytes held");
    q = p;
    q.width = 0;
    refused(q, "no pixels");
    q = p;
    q.width = -2;
    refused(q, "negative width");
    q = p;
    q.clrUsed = 0xFFFFFFFF;
    refused(q, "a table larger than the file");
    q = p;
    q.compression = 4;
    refused(q, "JPEG inside a bitmap");
    q = p;
    q.compression = BI_RLE8;
    q.bitCount = 24;
    refused(q, "RLE8 needs 8 bits");
    q = p;
    q.compression = BI_BITFIELDS;
    q.bitCount = 24;
    refused(q, "bit fields need 16 or 32 bits");
    q = p;
    q.pixels.resize(3);
    refused(q, "pixels cut short");
    Bytes whole = encodeBmp(p);
    for (std::size_t n : {0u, 1u, 2u, 10u, 16u, 40u, 50u}) {
        EXPECT_FALSE(load(Bytes(whole.begin(), whole.begin() + n))) << n << " bytes";
    }
}

TEST(BmpIsSupported, LooksAtTheInfoHeaderWithOrWithoutFileHeader) {
    CNxBMPLoader loader;
    BmpPicture p;
    p.pixels = {0, 0, 0, 0};
    const Bytes withHeader = encodeBmp(p);
    EXPECT_TRUE(loader.IsSupported(withHeader.data(), withHeader.size()));
    p.fileHeader = false;
    Bytes bare = encodeBmp(p);
    EXPECT_TRUE(loader.IsSupported(bare.data(), bare.size()));
    EXPECT_FALSE(loader.IsSupported(bare.data(), 15)) << "too short to hold the fields";
    Bytes twoPlanes = bare;
    twoPlanes[12] = 2;
    EXPECT_FALSE(loader.IsSupported(twoPlanes.data(), twoPlanes.size()));
    Bytes twelveBits = bare;
    twelveBits[14] = 12;
    EXPECT_FALSE(loader.IsSupported(twelveBits.data(), twelveBits.size()));
    Bytes core = bare;
    core[0] = 12;
    EXPECT_FALSE(loader.IsSupported(core.data(), core.size()));
}
