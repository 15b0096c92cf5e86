#include "tools/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "gfx/CNxDIBImage.h"

// libpng reports errors by longjmp, back into write() only; neither write() nor the callbacks
// hold anything with a destructor, and the C++ objects live in encode().

namespace {

struct WriteState {
    std::vector<std::uint8_t>* out;
    char message[256];
};

void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    state->out->insert(state->out->end(), data, data + length);
}

void onFlush(png_structp) {}

bool write(png_structp png, png_infop info, const CNxDIBImage& image, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.GetWidth()),
                 static_cast<png_uint_32>(image.GetHeight()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

platform::Outcome<bool> PngWriter::encode(const CNxDIBImage& image,
                                          std::vector<std::uint8_t>& out) {
    using Encoded = platform::Outcome<bool>;
    if (image.IsEmpty() || image.GetBitCount() != 32 || image.GetWidth() <= 0 ||
        image.GetHeight() <= 0) {
        return Encoded::because("only non-empty 32-bit pictures are written");
    }
    WriteState state;
    state.out = &out;
    state.message[0] = '\0';
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (png == nullptr) {
        return Encoded::because("libpng cannot start");
    }
    png_set_write_fn(png, &state, onWrite, onFlush);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.GetHeight()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = image.Row(static_cast<std::int32_t>(y));
    }
    out.clear();
    const bool ok = info != nullptr && write(png, info, image, rows.data());
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (!ok) {
        out.clear();
        return Encoded::because(std::string("libpng: ") + state.message);
    }
    return {true, {}};
}
