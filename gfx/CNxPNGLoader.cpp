#include "gfx/CNxPNGLoader.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/CNxFile.h"

// libpng reports errors by longjmp. Only the two functions that call setjmp (readHeader and
// readPixels) are ever jumped back into, and they and everything libpng calls on the way hold
// nothing with a destructor; every C++ object lives in Load, which no jump crosses.

namespace {

constexpr std::size_t kMaxMessageBytes = 1024;
constexpr png_alloc_size_t kMaxChunkBytes = 8000000;

struct PngSession {
    CNxFile* file;
    std::vector<platform::Notice>* notices;
    png_structp png = nullptr;
    png_infop info = nullptr;

    // What readHeader learnt, after the transformations.
    png_uint_32 width = 0, height = 0;
    int fileBitDepth = 0, colourType = 0;
    int dibBits = 0;
    std::size_t rowBytes = 0;
    int paletteEntries = 0;
    png_color palette[256];
};

// A notice of libpng's message, then the file, at most 1024 bytes and never cutting a UTF-8
// character in two.
void report(png_structp png, png_const_charp message, const char* title,
            platform::MessageIcon icon) {
    auto* session = static_cast<PngSession*>(png_get_error_ptr(png));
    if (session == nullptr || session->notices == nullptr) {
        return;
    }
    std::string text = message != nullptr ? message : "";
    text += "\n\nCNxFile Object:\n";
    text += session->file->GetFileName();
    if (text.size() > kMaxMessageBytes) {
        std::size_t cut = kMaxMessageBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    session->notices->push_back(platform::Notice{std::move(text), title, icon});
}

void onError(png_structp png, png_const_charp message) {
    report(png, message, "libpng error", platform::MessageIcon::Error);
    png_longjmp(png, 1);
}

void onWarning(png_structp png, png_const_charp message) {
    report(png, message, "libpng warning", platform::MessageIcon::Warning);
}

void onRead(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<CNxFile*>(png_get_io_ptr(png));
    if (file->Read(data, static_cast<std::int64_t>(length)) != static_cast<std::int64_t>(length)) {
        png_error(png, "Read Error");
    }
}

// The picture handed on for each colour type: paletted and grey pictures keep their depth and
// table unless tRNS makes them transparent; colour becomes 24 bits, alpha 32.
bool chooseOutput(PngSession& s, bool hasTrns, int depth) {
    switch (s.colourType) {
        case PNG_COLOR_TYPE_PALETTE:
            if (hasTrns) {
                png_set_expand(s.png);
                s.dibBits = 32;
            } else {
                png_colorp entries = nullptr;
                if (!png_get_PLTE(s.png, s.info, &entries, &s.paletteEntries)) {
                    return false;
                }
                if (s.paletteEntries > 256) {
                    s.paletteEntries = 256;
                }
                std::memcpy(s.palette, entries, sizeof(png_color) * s.paletteEntries);
                s.dibBits = depth;
            }
            break;
        case PNG_COLOR_TYPE_GRAY:
            if (hasTrns) {
                png_set_gray_to_rgb(s.png);
                png_set_expand(s.png);
                s.dibBits = 32;
            } else {
                s.dibBits = depth;
            }
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            png_set_gray_to_rgb(s.png);
            s.dibBits = 32;
            break;
        case PNG_COLOR_TYPE_RGB:
            if (hasTrns) {
                png_set_expand(s.png);
                s.dibBits = 32;
            } else {
                s.dibBits = 24;
            }
            break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            s.dibBits = 32;
            break;
        default:
            return false;
    }
    return true;
}

// Reads up to the image data and chooses the transformations. False after a libpng error.
bool readHeader(PngSession& s) {
    if (setjmp(png_jmpbuf(s.png))) {
        return false;
    }
    png_set_read_fn(s.png, s.file, onRead);
    // Pictures past 32768 pixels a side are refused by libpng itself, and no chunk may make it
    // allocate more than 8 MB: a damaged length would otherwise cost gigabytes.
    png_set_user_limits(s.png, CNxDIBImage::kMaxSide, CNxDIBImage::kMaxSide);
    png_set_chunk_malloc_max(s.png, kMaxChunkBytes);
    // That limit only warns for ancillary chunks, and libpng then allocates the length anyway.
    // The chunks of variable length the editor has no use for (texts, colour profile, palette
    // suggestions, Exif) are therefore skipped unread, a little at a time.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf";
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);
#ifdef PNG_SKIP_sRGB_CHECK_PROFILE
    // libpng 1.6 warns about the colour profiles many programs embed; the editor ignores colour
    // profiles, so that check would only put up boxes about nothing it uses.
    png_set_option(s.png, PNG_SKIP_sRGB_CHECK_PROFILE, PNG_OPTION_ON);
#endif
    png_read_info(s.png, s.info);
    int interlace = 0;
    if (!png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.fileBitDepth, &s.colourType,
                      &interlace, nullptr, nullptr)) {
        return false;
    }
    const bool hasTrns = png_get_valid(s.png, s.info, PNG_INFO_tRNS) != 0;
    int depth = s.fileBitDepth;
    if (depth == 16) {
        png_set_strip_16(s.png);
        depth = 8;
    } else if (depth == 2) {
        png_set_packing(s.png);  // one byte per pixel: DIBs have no 2-bit layout
        depth = 8;
    }
    if (!chooseOutput(s, hasTrns, depth)) {
        return false;
    }
    if (s.dibBits >= 24) {
        png_set_bgr(s.png);
    }
    if (interlace != PNG_INTERLACE_NONE) {
        png_set_interlace_handling(s.png);
    }
    png_read_update_info(s.png, s.info);
    s.rowBytes = png_get_rowbytes(s.png, s.info);
    return true;
}

bool readPixels(PngSession& s, png_bytepp rows) {
    if (setjmp(png_jmpbuf(s.png))) {
        return false;
    }
    png_read_image(s.png, rows);
    png_read_end(s.png, nullptr);
    return true;
}

}  // namespace

bool CNxPNGLoader::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    return headSize >= 8 && png_sig_cmp(head, 0, 8) == 0;
}

std::unique_ptr<CNxDIBImage> CNxPNGLoader::Load(CNxFile& file) {
    PngSession s;
    s.file = &file;
    s.notices = m_notices;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, onError, onWarning);
    if (s.png == nullptr) {
        return nullptr;
    }
    s.info = png_create_info_struct(s.png);
    std::unique_ptr<CNxDIBImage> image;
    std::vector<png_bytep> rows;
    if (s.info != nullptr && readHeader(s)) {
        std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 4 * 256, 0);
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = s.width > 0x7FFFFFFF ? -1 : static_cast<std::int32_t>(s.width);
        header.biHeight = s.height > 0x7FFFFFFF ? -1 : static_cast<std::int32_t>(s.height);
        header.biPlanes = 1;
        header.biBitCount = static_cast<std::uint16_t>(s.dibBits);
        header.biCompression = BI_RGB;
        auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof header);
        if (s.dibBits <= 8 && s.colourType == PNG_COLOR_TYPE_PALETTE) {
            header.biClrUsed = static_cast<std::uint32_t>(s.paletteEntries);
            for (int i = 0; i < s.paletteEntries; ++i) {
                table[i] = {s.palette[i].blue, s.palette[i].green, s.palette[i].red, 0};
            }
        } else if (s.dibBits <= 8) {
            // A grey ramp over the levels of the pixels as they arrive: 16-bit samples have
            // been cut to 8, so they take the 256-step ramp.
            const int levelBits = s.fileBitDepth == 16 ? 8 : s.fileBitDepth;
            const std::uint32_t n = 1u << levelBits;
            header.biClrUsed = n;
            for (std::uint32_t i = 0; i < n; ++i) {
                const auto grey = static_cast<std::uint8_t>(i * 255 / (n - 1));
                table[i] = {grey, grey, grey, 0};
            }
        }
        std::memcpy(info.data(), &header, sizeof header);
        image = std::make_unique<CNxDIBImage>();
        // CreateCopyOf refuses more than 32768 pixels a side or 1 GiB before allocating; the
        // rows libpng writes must fit the DIB's stride.
        if (header.biWidth <= 0 || header.biHeight <= 0 ||
            !image->CreateCopyOf(reinterpret_cast<const BITMAPINFO*>(info.data())) ||
            s.rowBytes > image->GetStride()) {
            image.reset();
        } else {
            rows.resize(s.height);
            for (png_uint_32 i = 0; i < s.height; ++i) {
                rows[i] = image->Row(static_cast<std::int32_t>(i));
            }
            if (!readPixels(s, rows.data())) {
                image.reset();
            }
        }
    }
    png_destroy_read_struct(&s.png, s.info != nullptr ? &s.info : nullptr, nullptr);
    return image;
}
