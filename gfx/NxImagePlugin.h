/*
 * Pelorin image plug-ins: the one header a plug-in author needs.
 *
 * A plug-in is a shared object whose file name ends in ".spi", placed in the folder of the
 * pelorin executable. When no built-in decoder (JPEG, PNG, MAG, BMP) knows a file, Pelorin loads
 * the plug-ins there one at a time and asks each whether it knows the file. A plug-in exports
 * the three functions below with C linkage (NX_PLUGIN_EXPORT does that); it may be written in C
 * or C++ and needs nothing else from Pelorin.
 *
 *   GetPluginInfo(0, buffer, 5)
 *       Stores NX_PLUGIN_API_VERSION ("00IN") with its terminator and returns the number of
 *       characters stored (4). A plug-in that reports any other version is ignored.
 *   IsSupported(NULL, head)
 *       head points at the first 2048 bytes of the file (zero past its end). Non-zero means the
 *       plug-in can decode the file. Must not keep the pointer.
 *   GetPicture(data, length, NX_PLUGIN_INPUT_MEMORY, &info, &bits, NULL, 0)
 *       data holds the whole file (length bytes). On success returns 0 and stores two blocks
 *       allocated with malloc(), which Pelorin frees with free():
 *         info: an NxPluginBitmapInfoHeader (biSize 40) followed by its colour table;
 *         bits: the pixel rows, each padded to a multiple of 4 bytes, bottom row first when
 *               biHeight is positive, top row first when it is negative.
 *       Bit counts 1, 4, 8, 16, 24 and 32; compression 0 (none) or 3 (three 32-bit masks in
 *       place of the table, 16 and 32 bits only). 32-bit pixels are B, G, R, A bytes.
 *       No side above 32768 pixels, no more than 1 GiB of pixels; blocks smaller than the
 *       header says are refused. Returns non-zero on failure, leaving nothing allocated.
 *
 * The progress callback argument is always NULL and the last argument 0.
 */
#ifndef PELORIN_NX_IMAGE_PLUGIN_H
#define PELORIN_NX_IMAGE_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
#define NX_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define NX_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#define NX_PLUGIN_API_VERSION "00IN"
#define NX_PLUGIN_INPUT_MEMORY 1u

/* The bitmap header of the info block, byte for byte as in a bitmap file. */
typedef struct NxPluginBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} NxPluginBitmapInfoHeader;

/* One colour table entry. */
typedef struct NxPluginRGBQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} NxPluginRGBQuad;

typedef int (*NxPluginProgressCallback)(int done, int total, long userData);

typedef int (*NxGetPluginInfoFn)(int infoNumber, char* buffer, int bufferLength);
typedef int (*NxIsSupportedFn)(const char* fileName, const void* head);
typedef int (*NxGetPictureFn)(const char* data, long length, unsigned int flags, void** info,
                              void** bits, NxPluginProgressCallback progress, long userData);

#endif
