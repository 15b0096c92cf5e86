#include "gfx/CNxJPEGLoader.h"

#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "gfx/CNxFile.h"

// libjpeg reports errors by longjmp. Only the functions that call setjmp (readHeader, start and
// readScanlines) are jumped back into, and they and the callbacks below hold nothing with a
// destructor; every C++ object lives in Load, which no jump crosses.

namespace {

constexpr std::size_t kBlockBytes = 4096;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Reads the file in blocks. An empty first read is the library's empty-input error; an empty
// later one is its premature-end warning followed by an end-of-image marker, so that a file cut
// short decodes as far as it goes.
struct Source {
    jpeg_source_mgr pub;
    CNxFile* file;
    bool startOfFile;
    JOCTET buffer[kBlockBytes];
};

void onErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void onOutputMessage(j_common_ptr) {}

void initSource(j_decompress_ptr cinfo) {
    reinterpret_cast<Source*>(cinfo->src)->startOfFile = true;
}

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    std::int64_t n = src->file->Read(src->buffer, kBlockBytes);
    if (n <= 0) {
        if (src->startOfFile) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    } else {
        src->startOfFile = false;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<std::size_t>(n);
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    if (count <= 0) {
        return;
    }
    while (static_cast<std::size_t>(count) > src->pub.bytes_in_buffer) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void termSource(j_decompress_ptr) {}

// A progressive file may repeat scans over the whole picture without end; real files have a
// few dozen, so past this many the file is taken as damaged.
constexpr int kMaxScans = 1000;

void onProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JERR_BAD_SCAN_SCRIPT;
        cinfo->err->error_exit(cinfo);
    }
}

struct JpegSession {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    Source source;
    jpeg_progress_mgr progress;
};

bool readHeader(JpegSession& s) {
    if (setjmp(s.error.jump)) {
        return false;
    }
    jpeg_create_decompress(&s.cinfo);
    // No decoding buffers beyond what a 1 GiB picture needs (progressive files keep all their
    // coefficients).
    s.cinfo.mem->max_memory_to_use = static_cast<long>(CNxDIBImage::kMaxImageBytes);
    s.cinfo.src = &s.source.pub;
    s.cinfo.progress = &s.progress;
    jpeg_read_header(&s.cinfo, TRUE);
    return true;
}

bool start(JpegSession& s) {
    if (setjmp(s.error.jump)) {
        return false;
    }
    jpeg_start_decompress(&s.cinfo);
    return true;
}

bool readScanlines(JpegSession& s, JSAMPARRAY rows) {
    if (setjmp(s.error.jump)) {
        return false;
    }
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const JDIMENSION done = s.cinfo.output_scanline;
        if (jpeg_read_scanlines(&s.cinfo, rows + done, s.cinfo.output_height - done) == 0) {
            return false;
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

}  // namespace

bool CNxJPEGLoader::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    return headSize >= 2 && head[0] == 0xFF && head[1] == 0xD8;
}

std::unique_ptr<CNxDIBImage> CNxJPEGLoader::Load(CNxFile& file) {
    auto s = std::make_unique<JpegSession>();
    std::memset(&s->cinfo, 0, sizeof s->cinfo);
    s->cinfo.err = jpeg_std_error(&s->error.pub);
    s->error.pub.error_exit = onErrorExit;
    s->error.pub.output_message = onOutputMessage;
    s->source.pub.init_source = initSource;
    s->source.pub.fill_input_buffer = fillInputBuffer;
    s->source.pub.skip_input_data = skipInputData;
    s->source.pub.resync_to_restart = jpeg_resync_to_restart;
    s->source.pub.term_source = termSource;
    s->source.pub.next_input_byte = nullptr;
    s->source.pub.bytes_in_buffer = 0;
    s->source.file = &file;
    s->source.startOfFile = true;
    std::memset(&s->progress, 0, sizeof s->progress);
    s->progress.progress_monitor = onProgress;

    std::unique_ptr<CNxDIBImage> image;
    std::vector<JSAMPROW> rows;
    const bool headerRead = readHeader(*s);
    const jpeg_decompress_struct& c = s->cinfo;
    // Only colour (to be delivered as B, G, R) and grey are DIB layouts; CMYK and other
    // component counts are refused.
    const bool colour = c.out_color_space == JCS_RGB && c.num_components == 3;
    const bool grey = c.out_color_space == JCS_GRAYSCALE && c.num_components == 1;
    const bool fits = c.image_width > 0 && c.image_height > 0 &&
                      c.image_width <= static_cast<JDIMENSION>(CNxDIBImage::kMaxSide) &&
                      c.image_height <= static_cast<JDIMENSION>(CNxDIBImage::kMaxSide);
    if (headerRead && (colour || grey) && fits) {
        s->cinfo.dct_method = JDCT_FLOAT;
        if (colour) {
            s->cinfo.out_color_space = JCS_EXT_BGR;
        }
        std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 4 * 256, 0);
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = static_cast<std::int32_t>(c.image_width);
        header.biHeight = static_cast<std::int32_t>(c.image_height);
        header.biPlanes = 1;
        header.biBitCount = colour ? 24 : 8;
        header.biCompression = BI_RGB;
        if (grey) {
            header.biClrUsed = 256;
            auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof header);
            for (int i = 0; i < 256; ++i) {
                table[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
            }
        }
        std::memcpy(info.data(), &header, sizeof header);
        // The size is checked before start allocates the decoder's buffers.
        if (CNxDIBImage::ColourCountOf(header) >= 0 && start(*s) &&
            c.output_width == c.image_width && c.output_height == c.image_height &&
            c.output_components == (colour ? 3 : 1)) {
            image = std::make_unique<CNxDIBImage>();
            if (image->CreateCopyOf(reinterpret_cast<const BITMAPINFO*>(info.data()))) {
                rows.resize(c.output_height);
                for (JDIMENSION i = 0; i < c.output_height; ++i) {
                    rows[i] = image->Row(static_cast<std::int32_t>(i));
                }
                if (!readScanlines(*s, rows.data())) {
                    image.reset();
                }
            } else {
                image.reset();
            }
        }
    }
    jpeg_destroy_decompress(&s->cinfo);
    return image;
}
