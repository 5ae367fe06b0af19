#pragma once
// The map picture: the bitmap the user chose as the map, or the built-in world map, with its size
// and, on palette displays, a palette that fits it. The picture is kept as exactly one decoded
// copy, which is also the surface that the sprite engine composes the figures into.

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDisplayCapabilities;
class CPalette;
class QIODevice;

class CMapBitmap {
public:
    // Results of the loads.
    static constexpr int kLoaded = 0;
    static constexpr int kLoadFailed = -1;
    static constexpr int kOutOfMemory = -3;

    // The built-in world map: 998 x 500 pixels, 180 W to 180 E and 90 N to 90 S.
    static constexpr unsigned kDefaultMapResource = 131;

    // Why the last load failed, in the system's error numbers (GetLastError).
    static constexpr int kErrorNone = 0;
    static constexpr int kErrorFileNotFound = 2;    // the file or a folder on its path is missing
    static constexpr int kErrorAccessDenied = 5;    // no permission, or not a plain file
    static constexpr int kErrorNotEnoughMemory = 8; // the picture does not fit in memory
    static constexpr int kErrorBadFormat = 11;      // not a bitmap, or a kind that cannot be read
    static constexpr int kErrorReadFault = 30;      // the system could not read the file
    static constexpr int kErrorHandleEof = 38;      // the file ends before its pixel data
    static constexpr int kErrorResourceNotFound = 1814;

    // Asks the screen whether a palette is needed.
    CMapBitmap();
    // Asks `display`, which must outlive this object.
    explicit CMapBitmap(const CDisplayCapabilities& display);
    ~CMapBitmap();
    CMapBitmap(const CMapBitmap&) = delete;
    CMapBitmap& operator=(const CMapBitmap&) = delete;

    // Loads a .bmp file (path in UTF-8): 0 loaded; -1 failed, with the reason in GetLastError;
    // -3 out of memory. On failure the previous picture, its size and palette stay.
    int LoadFromFile(const std::string& path);
    // Loads a bitmap resource by id (low 16 bits). Results and failure as LoadFromFile: the
    // picture held stays until its replacement is complete, so views never hold a freed one.
    int LoadFromResource(unsigned id);
    // Tests: every resource load fails as for a missing resource (true), or works again.
    static void SetResourceFailureForTesting(bool bFail);

    bool IsLoaded() const { return m_pBitmap != nullptr; }
    // The picture in QImage::Format_RGB32, or null while nothing is loaded. RGB32 is opaque, so
    // QPainter draws figures into it and copies it to the window without blending, and it is the
    // form that the raster paint engine handles fastest.
    QImage* GetBitmap() { return m_pBitmap.get(); }
    const QImage* GetBitmap() const { return m_pBitmap.get(); }
    // The palette made for the picture on a palette display; null on true-colour displays.
    const CPalette* GetPalette() const { return m_pPalette.get(); }
    // The size of the last picture loaded successfully; 0 before the first.
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // After a result of -1 or -3 the reason (kError*); 0 after a success.
    int GetLastError() const { return m_nLastError; }

private:
    int Load(QIODevice& device);
    void BuildPalette(int bitCount, std::uint32_t colorsUsed, const std::vector<QRgb>& table);

    const CDisplayCapabilities* m_pDisplay;
    std::unique_ptr<QImage> m_pBitmap;
    std::unique_ptr<CPalette> m_pPalette;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nLastError = kErrorNone;
};
