#include "gfx/CNxJPEGLoader.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <jpeglib.h>

#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

// What libjpeg itself makes of the bytes with the floating-point DCT, as 0xAARRGGBB from the top.
std::vector<std::uint32_t> reference(const Bytes& bytes) {
    jpeg_decompress_struct d;
    jpeg_error_mgr error;
    d.err = jpeg_std_error(&error);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    d.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&d);
    std::vector<std::uint32_t> out;
    Bytes row(static_cast<std::size_t>(d.output_width) * d.output_components);
    while (d.output_scanline < d.output_height) {
        JSAMPROW p = row.data();
        jpeg_read_scanlines(&d, &p, 1);
        for (JDIMENSION x = 0; x < d.output_width; ++x) {
            const std::uint8_t* s = row.data() + x * d.output_components;
            out.push_back(d.output_components == 1 ? 0xFF000000u | s[0] * 0x010101u
                                                   : 0xFF000000u | s[0] << 16 | s[1] << 8 | s[2]);
        }
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

Bytes gradient(int width, int height, int components) {
    Bytes pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                pixels.push_back(static_cast<std::uint8_t>((x * 7 + y * 3 + c * 80) & 0xFF));
            }
        }
    }
    return pixels;
}

class JpegLoad : public ::testing::Test {
protected:
    std::unique_ptr<CNxDIBImage> load(const Bytes& bytes) {
        return loadBytes(m_loader, m_dir.file("p.jpg"), bytes);
    }
    TempDir m_dir;
    CNxJPEGLoader m_loader;
};

}  // namespace

// Colour becomes 24 bits, grey 8 bits with a grey table; bottom-up, pixel for pixel what libjpeg
// itself decodes, baseline or progressive.
TEST_F(JpegLoad, ColourAndGreyDecodeAsLibjpegDoes) {
    const struct {
        int components;
        bool progressive;
        int bits;
    } cases[] = {{3, false, 24}, {3, true, 24}, {1, false, 8}};
    for (const auto& c : cases) {
        const Bytes bytes =
            encodeJpeg(37, 21, c.components, gradient(37, 21, c.components), 90, c.progressive);
        auto image = load(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->GetBitCount(), c.bits);
        EXPECT_EQ(image->GetWidth(), 37);
        EXPECT_EQ(image->GetInfo()->bmiHeader.biHeight, 21);
        EXPECT_EQ(argbPixels(*image), reference(bytes)) << c.components << c.progressive;
        ASSERT_EQ(image->GetColorCount(), c.bits == 8 ? 256u : 0u);
        for (std::uint32_t i = 0; c.bits == 8 && i < 256; ++i) {
            const RGBQUAD q = image->GetColorTable()[i];
            ASSERT_EQ(q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16 | q.rgbReserved << 24,
                      i * 0x010101u);
        }
    }
}

TEST_F(JpegLoad, ATruncatedFileDecodesAsFarAsItGoes) {
    const Bytes bytes = encodeJpeg(64, 64, 3, gradient(64, 64, 3), 95);
    const std::vector<std::uint32_t> whole = reference(bytes);
    auto image = load(Bytes(bytes.begin(), bytes.begin() + bytes.size() * 6 / 10));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetHeight(), 64);
    const std::vector<std::uint32_t> got = argbPixels(*image);
    EXPECT_EQ(std::vector<std::uint32_t>(got.begin(), got.begin() + 64 * 16),
              std::vector<std::uint32_t>(whole.begin(), whole.begin() + 64 * 16))
        << "the first block rows are whole";
}

TEST_F(JpegLoad, FilesWithoutAPictureFail) {
    EXPECT_FALSE(load({}));
    EXPECT_FALSE(load({0xFF, 0xD8}));
    EXPECT_FALSE(load({0xFF, 0xD8, 0xFF, 0xD9}));
    const Bytes bytes = encodeJpeg(8, 8, 3, gradient(8, 8, 3));
    EXPECT_FALSE(load(Bytes(bytes.begin(), bytes.begin() + 30))) << "cut inside the headers";
    Bytes garbage = {0xFF, 0xD8};
    for (int i = 0; i < 500; ++i) {
        garbage.push_back(static_cast<std::uint8_t>(i * 37));
    }
    EXPECT_FALSE(load(garbage));
    EXPECT_FALSE(load(encodeJpeg(8, 8, 4, Bytes(8 * 8 * 4, 0x40)))) << "a DIB has no CMYK layout";
}

TEST_F(JpegLoad, EndlessRepeatedScansAreRefused) {
    // A progressive file whose last scan is repeated: libjpeg only warns and would go over the
    // whole picture once per copy.
    const Bytes bytes = encodeJpeg(16, 16, 1, gradient(16, 16, 1), 90, true);
    std::size_t lastScan = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            lastScan = i;
        }
    }
    ASSERT_GT(lastScan, 0u);
    const Bytes scan(bytes.begin() + lastScan, bytes.end() - 2);
    Bytes few(bytes.begin(), bytes.end() - 2), many = few;
    for (int i = 0; i < 20; ++i) {
        few.insert(few.end(), scan.begin(), scan.end());
    }
    for (int i = 0; i < 1100; ++i) {
        many.insert(many.end(), scan.begin(), scan.end());
    }
    few.insert(few.end(), {0xFF, 0xD9});
    many.insert(many.end(), {0xFF, 0xD9});
    EXPECT_TRUE(load(few));
    EXPECT_FALSE(load(many));
}
