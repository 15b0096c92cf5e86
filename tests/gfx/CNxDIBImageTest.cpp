#include "gfx/CNxDIBImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/CNxDIBImageConverter.h"

namespace {

// A header with room for a table of `entries` colours, for building images by hand.
std::vector<std::uint8_t> header(std::int32_t width, std::int32_t height, int bits,
                                 std::uint32_t compression = BI_RGB, std::uint32_t entries = 0) {
    std::vector<std::uint8_t> block(40 + 4 * entries, 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<std::uint16_t>(bits);
    h->biCompression = compression;
    h->biClrUsed = bits <= 8 ? entries : 0;
    return block;
}

const BITMAPINFO* info(const std::vector<std::uint8_t>& block) {
    return reinterpret_cast<const BITMAPINFO*>(block.data());
}

std::uint32_t pixel32(const CNxDIBImage& image, int x, int y) {
    std::uint32_t p;
    std::memcpy(&p, image.Row(y) + 4 * x, 4);
    return p;
}

}  // namespace

TEST(CNxDIBImage, RowsAreAddressedFromTheTopWhateverTheStorageOrder) {
    CNxDIBImage up;
    ASSERT_EQ(up.Create(1280, 1024, 32), 1);
    EXPECT_EQ(up.GetPitch(), -5120);
    EXPECT_EQ(up.GetTopRow(), up.GetBits() + 5120 * 1023) << "pixel (0, 0) is the last row";
    EXPECT_EQ(up.GetImageSize(), 5120u * 1024);
    EXPECT_EQ(up.GetInfo()->bmiHeader.biSizeImage, 5120u * 1024);
    EXPECT_EQ(up.GetInfo()->bmiHeader.biXPelsPerMeter, 1000);
    EXPECT_EQ(up.GetColorTable(), nullptr);

    CNxDIBImage down;
    ASSERT_EQ(down.Create(3, -2, 24), 1);
    EXPECT_EQ(down.GetPitch(), 12) << "9 bytes a row rounded up to 12";
    EXPECT_EQ(down.GetTopRow(), down.GetBits());
    EXPECT_EQ(down.GetHeight(), 2);
    EXPECT_EQ(CNxDIBImage::StrideOf(3, 1), 4u);
    EXPECT_EQ(CNxDIBImage::StrideOf(33, 1), 8u);
    EXPECT_EQ(CNxDIBImage::StrideOf(5, 4), 4u);
}

TEST(CNxDIBImage, PalettedImagesGetAGreyTable) {
    CNxDIBImage grey;
    ASSERT_EQ(grey.Create(4, 4, 8), 1);
    ASSERT_EQ(grey.GetColorCount(), 256u);
    const RGBQUAD q = grey.GetColorTable()[255];
    EXPECT_EQ(q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16 | q.rgbReserved << 24, 0x00FEFEFE);
    CNxDIBImage mono;
    ASSERT_EQ(mono.Create(4, 4, 1), 1);
    EXPECT_EQ(mono.GetColorTable()[1].rgbRed, 127);
}

TEST(CNxDIBImage, HeadersAndColourCounts) {
    struct Case {
        int bits;
        std::uint32_t compression;
        std::uint32_t clrUsed;
        std::int64_t colours;  // -1: refused
    } cases[] = {
        {1, BI_RGB, 0, 2},        {4, BI_RGB, 3, 3},  {8, BI_RGB, 0, 256},
        {8, BI_RGB, 300, 256},    {16, BI_RGB, 0, 0}, {16, BI_BITFIELDS, 0, 3},
        {32, BI_BITFIELDS, 2, 5}, {24, BI_RGB, 9, 0}, {32, BI_RGB, 100000, 256},
        {8, BI_RLE8, 0, -1},      {2, BI_RGB, 0, -1}, {24, BI_BITFIELDS, 0, -1},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> block = header(2, 2, c.bits, c.compression);
        reinterpret_cast<BITMAPINFOHEADER*>(block.data())->biClrUsed = c.clrUsed;
        EXPECT_EQ(CNxDIBImage::ColourCountOf(info(block)->bmiHeader), c.colours)
            << c.bits << " bits, compression " << c.compression << ", " << c.clrUsed << " used";
    }

    CNxDIBImage image;
    std::vector<std::uint8_t> small = header(2, 2, 32);
    reinterpret_cast<BITMAPINFOHEADER*>(small.data())->biSize = 12;
    EXPECT_EQ(image.Attach(info(small), nullptr), 0);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.CreateCopyOf(info(header(40000, 1, 32))), 0) << "wider than 32768";
    EXPECT_EQ(image.CreateCopyOf(info(header(20000, -20000, 32))), 0) << "over 1 GiB";
    EXPECT_EQ(image.CreateCopyOf(info(header(1, INT32_MIN, 32))), 0);
    EXPECT_EQ(image.CreateCopyOf(info(header(-1, 1, 32))), 0);
    EXPECT_TRUE(image.IsEmpty());
}

TEST(CNxDIBImage, AttachedPixelsFollowTheTableUnlessGiven) {
    std::vector<std::uint8_t> block = header(2, 1, 16, BI_BITFIELDS);
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    block.insert(block.end(), reinterpret_cast<const std::uint8_t*>(masks),
                 reinterpret_cast<const std::uint8_t*>(masks) + 12);
    block.insert(block.end(), {0x00, 0xF8, 0xFF, 0xFF});  // red, white
    CNxDIBImage image;
    ASSERT_EQ(image.Attach(info(block), nullptr), 1);
    EXPECT_EQ(image.GetBits(), block.data() + 52);
    EXPECT_EQ(image.GetRedMask(), 0xF800u);
    EXPECT_EQ(image.GetGreenMask(), 0x07E0u);

    CNxDIBImage plain;
    std::uint8_t bits[4] = {};
    std::vector<std::uint8_t> h16 = header(2, 1, 16);
    ASSERT_EQ(plain.Attach(info(h16), bits), 1);
    EXPECT_EQ(plain.GetBits(), bits);
    EXPECT_EQ(plain.GetRedMask(), 0x7C00u) << "5-5-5 without masks";
}

// Conversions of every depth into 32 bits are what the loaders' tests compare, through
// argbPixels; here the rest: into 8 bits, refusals and clipping.
TEST(CNxDIBImageConverter, IntoEightBitsAndUnsupportedPairs) {
    CNxDIBImage out;
    out.Create(3, 1, 8);
    std::vector<std::uint8_t> h32 = header(3, 1, 32);
    const std::uint32_t px[3] = {0xFFFFFFFF, 0x00FF0000, 0x000000FF};
    CNxDIBImage colour;
    colour.Attach(info(h32), const_cast<std::uint32_t*>(px));
    ASSERT_EQ(CNxDIBImageConverter::Convert(out, 0, 0, colour, nullptr), 1);
    EXPECT_EQ(out.Row(0)[0], 255);
    EXPECT_EQ(out.Row(0)[1], (255ull * 5014911) >> 24);  // 76
    EXPECT_EQ(out.Row(0)[2], (255ull * 1920606) >> 24);  // 29

    CNxDIBImage four;
    four.Create(3, 1, 4);
    EXPECT_EQ(CNxDIBImageConverter::Convert(four, 0, 0, colour, nullptr), 0);
    EXPECT_EQ(CNxDIBImageConverter::Convert(four, 0, 0, out, nullptr), 0) << "8 into 4";
    CNxDIBImage empty;
    EXPECT_EQ(CNxDIBImageConverter::Convert(out, 0, 0, empty, nullptr), 0);
}

TEST(CNxDIBImageConverter, ClipsToBothImages) {
    // A 4 × 4 top-down source whose pixel (x, y) is y × 16 + x, copied at every offset into a
    // 3 × 3 bottom-up destination, must match a brute-force copy.
    std::vector<std::uint8_t> h = header(4, -4, 32);
    std::uint32_t src[16];
    for (int i = 0; i < 16; ++i) {
        src[i] = 0xFF000000u | static_cast<std::uint32_t>((i / 4) * 16 + i % 4);
    }
    CNxDIBImage source;
    source.Attach(info(h), src);
    for (int x = -5; x <= 4; ++x) {
        for (int y = -5; y <= 4; ++y) {
            for (const RECT& r : {RECT{-2, -1, 9, 9}, RECT{1, 1, 3, 4}, RECT{2, 2, 2, 3}}) {
                CNxDIBImage dest;
                dest.Create(3, 3, 32);
                ASSERT_EQ(CNxDIBImageConverter::Convert(dest, x, y, source, &r), 1);
                for (int dy = 0; dy < 3; ++dy) {
                    for (int dx = 0; dx < 3; ++dx) {
                        // Which source pixel lands on (dx, dy), if any.
                        const int sx = dx - x + r.left, sy = dy - y + r.top;
                        const bool inside = sx >= std::max(r.left, 0) &&
                                            sx < std::min(r.right, 4) && sy >= std::max(r.top, 0) &&
                                            sy < std::min(r.bottom, 4);
                        const std::uint32_t want = inside ? src[sy * 4 + sx] : 0;
                        ASSERT_EQ(pixel32(dest, dx, dy), want)
                            << "at " << x << "," << y << " pixel " << dx << "," << dy;
                    }
                }
            }
        }
    }
}
