#pragma once
// The zoom level of the map view and the conversions between map pixels and the pixels of the
// zoomed picture ("content" pixels, the view's scroll coordinates). Content pixel c shows map
// pixel floor(c / factor); at 100 % both are the same.

#include <QPoint>
#include <QSize>

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
    // The size of the zoomed picture: every content pixel that shows a map pixel.
    QSize ContentSize(QSize sizeMap) const;
    // A distance in content pixels as map pixels, rounded to the nearer whole pixel but at least
    // one pixel for a distance that is not zero.
    QPoint MapDistance(QPoint ptContent) const;

private:
    double m_dFactor = 1.0;
};
