#pragma once
// The zoom level of the map view and the conversions between map pixels and the pixels of the
// zoomed picture ("content" pixels, the view's scroll coordinates). Content pixel c shows map
// pixel floor(c / factor); at 100 % both are the same.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace mapreg {

class CMapZoom {
public:
    // The series runs from 1/32 to 8 in steps of the square root of two.
    static constexpr double kMinFactor = 1.0 / 32.0;
    static constexpr double kMaxFactor = 8.0;
    // Content coordinates are kept within +-kContentLimit so that they fit an int.
    static constexpr int kContentLimit = 1 << 30;

    // 100 %.
    CMapZoom() = default;
    // Any factor, held within kMinFactor..kMaxFactor; a factor that is not a number gives 100 %.
    explicit CMapZoom(double dFactor);

    double Factor() const { return m_dFactor; }
    bool IsActual() const { return m_dFactor == 1.0; }
    // The level rounded to whole percent (at least 1).
    int Percent() const;
    bool operator==(const CMapZoom& other) const { return m_dFactor == other.m_dFactor; }

    // The next level of the series above or below this one (this one at the end of the series);
    // from a level between two series levels, the nearer of them in that direction.
    CMapZoom NextIn() const;
    CMapZoom NextOut() const;
    // The largest level at which a picture of sizeMap fits into sizeView, held within the series'
    // range. Empty sizes give 100 %.
    static CMapZoom Fit(QSize sizeMap, QSize sizeView);

    // The map pixel that content pixel c shows: floor(c / factor).
    int MapFromContent(int c) const;
    QPoint MapFromContent(QPoint pt) const {
        return {MapFromContent(pt.x()), MapFromContent(pt.y())};
    }
    // The first content pixel that shows map pixel p (or a later one).
    int FirstContent(int p) const;
    // Where a figure standing on map pixel p is drawn: the content pixel nearest the middle of the
    // pixel's square, among those that show p when there are any. p itself at 100 %.
    int ContentFromMap(int p) const;
    QPoint ContentFromMap(QPoint pt) const {
        return {ContentFromMap(pt.x()), ContentFromMap(pt.y())};
    }
    // The content pixels that show the map rectangle rcMap.
    QRect ContentRectOfMap(const QRect& rcMap) const;
    // The size of the zoomed picture: every content pixel that shows a map pixel.
    QSize ContentSize(QSize sizeMap) const;
    // A distance in content pixels as map pixels, rounded to the nearer whole pixel but at least
    // one pixel for a distance that is not zero.
    QPoint MapDistance(QPoint ptContent) const;

    // The scroll position (never below 0) that puts the content pixel showing map coordinate
    // dMap (in map pixels, fractional) at viewport offset nAnchor: the zoomed pixel under dMap,
    // or the nearest one that shows map pixel nMap.
    int AnchoredScroll(double dMap, int nMap, int nAnchor) const;
    // Zooming from level from, with the window scrolled to ptScroll: the scroll position at this
    // level that keeps the map point under viewport point ptAnchor there (the middle of the
    // zoomed pixel under the anchor, through AnchoredScroll on each axis).
    QPoint ScrollKeepingAnchor(const CMapZoom& from, QPoint ptScroll, QPoint ptAnchor) const;
    // What a window of sizeView scrolled to ptScroll shows of a picture of sizeMap: all of an
    // axis the window is wider or taller than, else the window's part; in content pixels, and in
    // map pixels held within the picture.
    QRect VisibleContentRect(QSize sizeMap, QSize sizeView, QPoint ptScroll) const;
    QRect VisibleMapRect(QSize sizeMap, QSize sizeView, QPoint ptScroll) const;

    // One notch of a mouse wheel, and how many notches one direction stores up at most.
    static constexpr int kWheelNotch = 120;
    static constexpr int kMaxPendingNotches = 20;
    // Adds a wheel turn of nDelta to nPending and takes the whole notches out of it: the number
    // of levels to zoom in (positive) or out (negative). A turn the other way starts afresh.
    static int TakeWheelNotches(int& nPending, int nDelta);

private:
    double m_dFactor = 1.0;
};

} // namespace mapreg
