#pragma once
// The map picture: the bitmap the user chose as the map, or the built-in world map, with its size
// and, on palette displays, a palette that fits it. The picture is kept as exactly one decoded
// copy, which is also the surface that the sprite engine composes the figures into.

#include "display/BitmapLoadResult.h"

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QIODevice;

namespace mapreg {

class CDisplayCapabilities;
class CPalette;

class CMapBitmap {
public:
    // The built-in world map: 998 x 500 pixels, 180 W to 180 E and 90 N to 90 S.
    static constexpr unsigned kDefaultMapResource = 131;

    // Asks the screen whether a palette is needed.
    CMapBitmap();
    // Asks `display`, which must outlive this object.
    explicit CMapBitmap(const CDisplayCapabilities& display);
    ~CMapBitmap();
    CMapBitmap(const CMapBitmap&) = delete;
    CMapBitmap& operator=(const CMapBitmap&) = delete;

    // Loads a .bmp file (path in UTF-8): Ok, or why not. On failure the previous picture, its
    // size and palette stay.
    BitmapLoadResult LoadFromFile(const std::string& path);
    // Loads a bitmap resource by id (low 16 bits); a missing one is NotFound. Failure as
    // LoadFromFile: the picture held stays until its replacement is complete, so views never
    // hold a freed one.
    BitmapLoadResult LoadFromResource(unsigned id);
    // Tests: every resource load fails as for a missing resource (true), or works again.
    static void SetResourceFailureForTesting(bool bFail);

    bool IsLoaded() const { return m_picture.pImage != nullptr; }
    // The picture in QImage::Format_RGB32, or null while nothing is loaded. RGB32 is opaque, so
    // QPainter draws figures into it and copies it to the window without blending, and it is the
    // form that the raster paint engine handles fastest.
    QImage* GetBitmap() { return m_picture.pImage.get(); }
    const QImage* GetBitmap() const { return m_picture.pImage.get(); }
    // The palette made for the picture on a palette display; null on true-colour displays.
    const CPalette* GetPalette() const { return m_picture.pPalette.get(); }
    // The size of the last picture loaded successfully; 0 before the first.
    int GetWidth() const { return IsLoaded() ? m_picture.pImage->width() : 0; }
    int GetHeight() const { return IsLoaded() ? m_picture.pImage->height() : 0; }

private:
    // A decoded picture with its palette. A load builds a whole new one and moves it over the
    // one held only when it is complete.
    struct Picture {
        std::unique_ptr<QImage> pImage;
        std::unique_ptr<CPalette> pPalette;
    };

    BitmapLoadResult Load(QIODevice& device);
    std::unique_ptr<CPalette> BuildPalette(int bitCount, std::uint32_t colorsUsed,
                                           const std::vector<QRgb>& table) const;

    const CDisplayCapabilities* m_pDisplay;
    Picture m_picture;
};

} // namespace mapreg
