#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowSpec.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

// What the screen tests of the chip, attribute and map windows share: the default colours they
// draw, windows as the shell makes them, and chip images whose every pixel tells where in the
// image it lies, so that a presented pixel shows which chip was drawn and from which offset.
namespace screen_test {

constexpr std::uint32_t kBlack = 0xFF000000;  // grid lines, and beyond the cells
constexpr std::uint32_t kRed = 0xFFFF0000;    // the cursor frame
constexpr std::uint32_t kBlue = 0xFF0000FF;   // the selection frame
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kGrey = 0xFFBEBEBE;  // a cell without a chip or attribute to show

inline platform::WindowSpec windowSpec(const char* className, platform::Size client,
                                       platform::Point position = {0, 0}) {
    platform::WindowSpec spec;
    spec.className = className;
    spec.clientSize = client;
    spec.position = position;
    return spec;
}

// Red and green: the low bytes of x and y; blue: their high nibbles. Opaque.
inline std::uint32_t imagePixel(int x, int y) {
    return 0xFF000000u | std::uint32_t(x & 0xFF) << 16 | std::uint32_t(y & 0xFF) << 8 |
           std::uint32_t((x >> 8) & 0xF) << 4 | std::uint32_t((y >> 8) & 0xF);
}

// Writes a 24-bit bitmap of width × height of imagePixel.
inline void writeChipImage(const std::string& path, int width, int height) {
    std::vector<testing_support::Bytes> rows;
    for (int y = 0; y < height; ++y) {
        testing_support::Bytes row;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = imagePixel(x, y);
            row.insert(row.end(), {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16)});
        }
        rows.push_back(std::move(row));
    }
    testing_support::BmpPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bitCount = 24;
    picture.pixels = testing_support::bottomUpRows(rows);
    testing_support::writeBytes(path, testing_support::encodeBmp(picture));
}

// A chip image of width × height in dir, written once.
inline std::string chipImage(const testing_support::TempDir& dir, int width, int height) {
    const std::string path =
        dir.file("chips-" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    writeChipImage(path, width, height);
    return path;
}

// Source-alpha blending of colour over an opaque pixel, within rounding.
inline bool isBlendOf(std::uint32_t pixel, std::uint32_t colour, std::uint32_t under) {
    const unsigned alpha = colour >> 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = (colour >> shift) & 0xFF, u = (under >> shift) & 0xFF;
        const int expected = (c * int(alpha) + u * int(255 - alpha)) / 255;
        const int got = (pixel >> shift) & 0xFF;
        if (got < expected - 2 || got > expected + 2) {
            return false;
        }
    }
    return true;
}

// The end of a cell window's title: "選択範囲:(x1:y1～x2:y2)".
inline std::string selectionPart(const std::string& title) {
    return title.substr(title.rfind("選択範囲:"));
}

// The last message box as "title: text", or "" when none was shown.
inline std::string lastBox(const platform::headless::HeadlessHost& host) {
    return host.boxes.empty() ? "" : host.boxes.back().title + ": " + host.boxes.back().text;
}

}  // namespace screen_test
