#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxDIBImage.h"
#include "gfx/NxTypes.h"
#include "platform/Outcome.h"

class CNxBlitter;
class CNxFile;
class CNxSurfaceExtension;

// A drawable picture of 8 or 32 bits per pixel in plain memory that the surface owns, with a
// clip rectangle and a drawing origin. All pixel work goes through the blitter of its format.
// The 32-bit pixel is the word 0xAARRGGBB (bytes B, G, R, A in memory).
class CNxSurface {
public:
    // 8 gives an 8-bit surface; anything else a 32-bit one. Empty until Create.
    explicit CNxSurface(int bitCount = 32);
    virtual ~CNxSurface();
    CNxSurface(const CNxSurface&) = delete;
    CNxSurface& operator=(const CNxSurface&) = delete;

    // Zero pixels of width × |height|, bottom-up for a positive height, top-down for a negative
    // one; the clip becomes the whole surface. 0, with the surface left as it was, for sizes
    // the library does not accept or when memory runs out.
    virtual int Create(std::int32_t width, std::int32_t height);

    // There is no device context here: the handle stands for the pixels and only the nesting is
    // counted. Null while the surface has no pixels.
    void* GetDC();
    // The remaining nesting count; 0 also when no handle was out.
    std::uint32_t ReleaseDC();
    std::uint32_t GetDCUseCount() const { return m_dcUseCount; }

    // Null: the whole surface. Otherwise limited to the surface; an inverted rectangle stays
    // inverted (and so clips everything away).
    void SetClipRect(const RECT* rect);
    const RECT& GetClipRect() const { return m_clip; }
    // Added to every destination coordinate before clipping.
    void SetOrigin(std::int32_t x, std::int32_t y);
    std::int32_t GetOriginX() const { return m_originX; }
    std::int32_t GetOriginY() const { return m_originY; }

    // Stores colour in every pixel of rect (null: the whole surface), no blending; 8-bit
    // surfaces take its low byte.
    int Fill(const RECT* rect, std::uint32_t colour);
    int Fill(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
             std::uint32_t colour);
    // Draws sourceRect of source into destRect as params say (see CNxBlitter::Blit).
    int Blit(const RECT* destRect, const CNxSurface* source, const RECT* sourceRect,
             const CNxBlitParams* params);
    // The same with destRect at (x, y), as large as sourceRect (null: the whole source; with
    // no source either there is nothing to draw and the call returns 0).
    int Blit(std::int32_t x, std::int32_t y, const CNxSurface* source, const RECT* sourceRect,
             const CNxBlitParams* params);

    // Recreates the surface at the image's size and orientation and converts its pixels; into
    // an 8-bit surface a paletted image also brings its colour table. 0 for an empty image or
    // when Create fails.
    int CopyFromImage(const CNxDIBImage& image);

    // Decodes an open file with the library's image loaders and copies the picture in as
    // CopyFromImage does. 0 when the file is not open, no loader takes it or the copy fails; the
    // surface keeps its pixels when decoding fails. What the decoder has to say is added to
    // notices when given.
    int LoadFromFile(CNxFile& file, std::vector<platform::Notice>* notices = nullptr);
    // Opens the image file at path (for reading, others may only read it meanwhile) and decodes
    // it into a new 32-bit surface, with the decoder's notices. Null when the file cannot be
    // opened (then *opened, if given, is false) or decoded.
    static platform::Outcome<std::unique_ptr<CNxSurface>> LoadImageFile(const std::string& path,
                                                                        bool* opened = nullptr);

    // Moves rect by the origin and limits it to the clip rectangle; false when nothing is left.
    bool ClipToSurface(RECT& rect) const;

    const CNxDIBImage& GetImage() const { return m_image; }
    CNxDIBImage& GetImage() { return m_image; }
    std::int32_t GetWidth() const { return m_image.GetWidth(); }
    std::int32_t GetHeight() const { return m_image.GetHeight(); }
    int GetBitCount() const { return m_bitCount; }
    const CNxBlitter& GetBlitter() const { return *m_blitter; }
    CNxSurfaceExtension& GetExtension() const { return *m_extension; }

private:
    struct FreeDeleter {
        void operator()(void* p) const;
    };

    CNxDIBImage m_image;  // describes m_pixels; owns nothing
    int m_bitCount;
    std::unique_ptr<BITMAPINFO, FreeDeleter> m_info;
    const CNxBlitter* m_blitter;
    std::unique_ptr<CNxSurfaceExtension> m_extension;
    std::unique_ptr<std::uint8_t, FreeDeleter> m_pixels;
    void* m_dc = nullptr;
    std::uint32_t m_dcUseCount = 0;
    std::int32_t m_originX = 0;
    std::int32_t m_originY = 0;
    RECT m_clip = {0, 0, 0, 0};
};
