#include "gfx/CNxMAKILoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

Bytes palette(int colours) {
    Bytes grb;
    for (int i = 0; i < colours; ++i) {
        grb.insert(grb.end(), {std::uint8_t(i * 3), std::uint8_t(255 - i), std::uint8_t(i)});
    }
    return grb;
}

// Rows of lineBytes bytes from a small alphabet, so that copies from every vector match often.
std::vector<Bytes> patterned(int rows, std::size_t lineBytes, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Bytes> lines(rows, Bytes(lineBytes));
    for (int y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < lineBytes; ++x) {
            lines[y][x] = static_cast<std::uint8_t>(random() % 3 == 0 ? random() : 0x21);
        }
    }
    return lines;
}

class MagLoad : public ::testing::Test {
protected:
    std::unique_ptr<CNxDIBImage> load(const Bytes& bytes) {
        return loadBytes(m_loader, m_dir.file("p.mag"), bytes);
    }
    // The picture's stored bytes, row by row from the top.
    static std::vector<Bytes> lines(const CNxDIBImage& image, std::size_t lineBytes) {
        std::vector<Bytes> out;
        for (int y = 0; y < image.GetHeight(); ++y) {
            out.emplace_back(image.Row(y), image.Row(y) + lineBytes);
        }
        return out;
    }
    TempDir m_dir;
    CNxMAKILoader m_loader;
};

}  // namespace

// Pictures of 16 and 256 colours come back byte for byte with their G, R, B palettes; widths
// round up to whole blocks of 8 (16 colours) or 4 pixels (256 colours).
TEST_F(MagLoad, PicturesRoundTrip) {
    const struct {
        bool colours256;
        int xStart, xEnd, rows, width;
        unsigned seed;
    } cases[] = {{false, 0, 63, 40, 64, 1}, {false, 0, 63, 40, 64, 2},  {true, 0, 63, 40, 64, 3},
                 {true, 0, 63, 40, 64, 4},  {false, 0, 637, 2, 640, 5}, {true, 10, 14, 1, 8, 6}};
    for (const auto& c : cases) {
        MagPicture p;
        p.colours256 = c.colours256;
        p.palette = palette(c.colours256 ? 256 : 16);
        p.xStart = c.xStart;
        p.xEnd = c.xEnd;
        p.yStart = 3;
        p.yEnd = 3 + c.rows - 1;
        const std::size_t lineBytes = c.colours256 ? c.width : c.width / 2;
        p.lines = patterned(c.rows, lineBytes, c.seed);
        p.seed = c.seed;
        auto image = load(encodeMag(p));
        ASSERT_TRUE(image) << c.seed;
        EXPECT_EQ(image->GetBitCount(), c.colours256 ? 8 : 4);
        EXPECT_EQ(image->GetWidth(), c.width);
        EXPECT_EQ(lines(*image, lineBytes), p.lines) << c.seed;
        const int last = c.colours256 ? 255 : 15;
        ASSERT_EQ(image->GetColorCount(), last + 1u);
        const RGBQUAD q = image->GetColorTable()[last];
        EXPECT_EQ(q.rgbGreen, last * 3 & 0xFF) << "palette entries are G, R, B";
        EXPECT_EQ(q.rgbRed, 255 - last);
        EXPECT_EQ(q.rgbBlue, last);
        EXPECT_EQ(q.rgbReserved, 0);
    }
}

// Bytes laid down by hand, one copy vector after another, checked against the vector table:
// 256 colours, 8 × 3.
//   row 0 flags 00 01: literal 1 2, literal 3 4, literal 5 6, vector 1 (−2, 0) → 5 6
//   row 1 flags 04 25: literal 7 8, vector 4 (0, −1) → 3 4, vector 2 (−4, 0) → 7 8,
//                      vector 5 (−2, −1) → 5 6
//   row 2 flags 65 87: vector 6 (0, −2) → 1 2, vector 5 (−2, −1) → 7 8,
//                      vector 8 (−4, −2) → 1 2, vector 7 (−2, −2) → 5 6
Bytes handMade(std::uint32_t flagAOffset = 0) {
    Bytes b = {'M', 'A', 'K', 'I', '0', '2', ' ', ' ', 'x', 0x1A};
    Bytes header(32, 0);
    header[3] = 0x80;
    header[8] = 7;   // x end
    header[10] = 2;  // y end
    const std::uint32_t paletteEnd = 32 + 768;
    const std::uint32_t a = flagAOffset ? flagAOffset : paletteEnd;
    const std::uint32_t offsets[3][2] = {{12, a}, {16, paletteEnd + 1}, {24, paletteEnd + 6}};
    for (const auto& o : offsets) {
        for (int i = 0; i < 4; ++i) {
            header[o[0] + i] = static_cast<std::uint8_t>(o[1] >> (8 * i));
        }
    }
    b.insert(b.end(), header.begin(), header.end());
    for (int i = 0; i < 256; ++i) {
        b.insert(b.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    }
    // Flag A 0111 1100: row 0 changes its second byte, rows 1 and 2 both.
    b.insert(b.end(), {0x7C, 0x01, 0x04, 0x24, 0x61, 0xA2, 1, 2, 3, 4, 5, 6, 7, 8});
    return b;
}

TEST_F(MagLoad, CopyVectorsFollowTheirTable) {
    auto image = load(handMade());
    ASSERT_TRUE(image);
    EXPECT_EQ(lines(*image, 8),
              (std::vector<Bytes>{
                  {1, 2, 3, 4, 5, 6, 5, 6}, {7, 8, 3, 4, 7, 8, 5, 6}, {1, 2, 7, 8, 1, 2, 5, 6}}));
}

TEST_F(MagLoad, EverythingPointingOutsideTheDataIsRefused) {
    const Bytes good = handMade();
    ASSERT_TRUE(load(good));
    EXPECT_FALSE(load(handMade(0x7FFFFFF0))) << "flag A past the end";
    for (std::size_t n : {std::size_t(8), std::size_t(20), std::size_t(42), std::size_t(500),
                          good.size() - 1, good.size() - 8}) {
        EXPECT_FALSE(load(Bytes(good.begin(), good.begin() + n))) << "cut at " << n;
    }
    // Row 0's second flag byte (the first of flag B) covers x 4 to 7.
    Bytes upward = good;
    upward[good.size() - 13] = 0x40;  // (0, −1) from above the top
    EXPECT_FALSE(load(upward));
    Bytes leftward = good;
    leftward[good.size() - 13] = 0x30;  // (−8, 0) at x 4
    EXPECT_FALSE(load(leftward));
    Bytes flagBFar = good;
    flagBFar[10 + 16 + 3] = 0x40;  // flag B offset beyond the file
    EXPECT_FALSE(load(flagBFar));
    Bytes backwards = good;
    backwards[10 + 8] = 0;  // x end 0 is fine, ...
    backwards[10 + 4] = 5;  // ... but not below x start
    EXPECT_FALSE(load(backwards));
    Bytes huge = good;
    huge[10 + 8] = 0xFF;
    huge[10 + 9] = 0xFF;
    huge[10 + 10] = 0xFF;
    huge[10 + 11] = 0xFF;
    EXPECT_FALSE(load(huge)) << "65536 × 65536 is refused before anything is allocated";
    EXPECT_FALSE(load(Bytes{'M', 'A', 'K', 'I', '0', '2', ' ', ' '})) << "no header";
}

TEST_F(MagLoad, FlagAMustLieWhollyInsideTheData) {
    MagPicture p;
    p.palette = palette(16);
    p.xEnd = 639;
    p.yEnd = 1;
    p.lines = patterned(2, 320, 4);
    Bytes bytes = encodeMag(p);
    ASSERT_TRUE(load(bytes));
    // Flag A moved to the last byte of the data: each row needs 10 bytes of it.
    const auto h =
        static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
    const auto last = static_cast<std::uint32_t>(bytes.size() - h - 1);
    for (int i = 0; i < 4; ++i) {
        bytes[h + 12 + i] = static_cast<std::uint8_t>(last >> (8 * i));
    }
    EXPECT_FALSE(load(bytes));
}
