#include "display/CMapZoom.h"

#include <algorithm>
#include <cmath>

namespace mapreg {

namespace {

// Series levels are 2^(k/2); k runs from -10 (1/32) to 6 (8).
constexpr int kMinStep = -10;
constexpr int kMaxStep = 6;
// Levels closer than this (relative) count as equal, so that a level a computation lands on
// next to a series level is not stepped to that same level.
constexpr double kSameLevel = 1e-9;

double SeriesLevel(int k) {
    return std::exp2(k / 2.0);
}

long long Limit(double d) {
    return static_cast<long long>(std::clamp(d, -static_cast<double>(CMapZoom::kContentLimit),
                                             static_cast<double>(CMapZoom::kContentLimit)));
}

} // namespace

CMapZoom::CMapZoom(double dFactor) {
    m_dFactor = std::isnan(dFactor) ? 1.0 : std::clamp(dFactor, kMinFactor, kMaxFactor);
}

int CMapZoom::Percent() const {
    return std::max(1, static_cast<int>(std::lround(m_dFactor * 100.0)));
}

CMapZoom CMapZoom::NextIn() const {
    for (int k = kMinStep; k <= kMaxStep; ++k) {
        if (SeriesLevel(k) > m_dFactor * (1.0 + kSameLevel)) {
            return CMapZoom(SeriesLevel(k));
        }
    }
    return CMapZoom(kMaxFactor);
}

CMapZoom CMapZoom::NextOut() const {
    for (int k = kMaxStep; k >= kMinStep; --k) {
        if (SeriesLevel(k) < m_dFactor * (1.0 - kSameLevel)) {
            return CMapZoom(SeriesLevel(k));
        }
    }
    return CMapZoom(kMinFactor);
}

CMapZoom CMapZoom::Fit(QSize sizeMap, QSize sizeView) {
    if (sizeMap.isEmpty() || sizeView.isEmpty()) {
        return {};
    }
    CMapZoom zoom(std::min(static_cast<double>(sizeView.width()) / sizeMap.width(),
                           static_cast<double>(sizeView.height()) / sizeMap.height()));
    // The quotient may round up by a hair, which would add a content pixel and a scroll bar.
    for (int i = 0; i < 8 && zoom.m_dFactor > kMinFactor; ++i) {
        const QSize sizeContent = zoom.ContentSize(sizeMap);
        if (sizeContent.width() <= sizeView.width() && sizeContent.height() <= sizeView.height()) {
            break;
        }
        zoom = CMapZoom(zoom.m_dFactor * (1.0 - 1e-12));
    }
    return zoom;
}

int CMapZoom::MapFromContent(int c) const {
    if (m_dFactor == 1.0) {
        return c;
    }
    return static_cast<int>(Limit(std::floor(c / m_dFactor)));
}

int CMapZoom::FirstContent(int p) const {
    if (m_dFactor == 1.0) {
        return p;
    }
    auto c = static_cast<int>(Limit(std::ceil(p * m_dFactor)));
    // Settle the rounding of the product against the rule of MapFromContent itself.
    while (c > -kContentLimit && MapFromContent(c - 1) >= p) {
        --c;
    }
    while (c < kContentLimit && MapFromContent(c) < p) {
        ++c;
    }
    return c;
}

int CMapZoom::ContentFromMap(int p) const {
    if (m_dFactor == 1.0) {
        return p;
    }
    const auto nMiddle = static_cast<int>(Limit(std::floor((p + 0.5) * m_dFactor)));
    const int nFirst = FirstContent(p);
    const int nLast = FirstContent(p + 1) - 1;
    return nFirst <= nLast ? std::clamp(nMiddle, nFirst, nLast) : nMiddle;
}

QSize CMapZoom::ContentSize(QSize sizeMap) const {
    return {std::max(0, FirstContent(sizeMap.width())),
            std::max(0, FirstContent(sizeMap.height()))};
}

QPoint CMapZoom::MapDistance(QPoint ptContent) const {
    auto convert = [this](int d) {
        if (d == 0 || m_dFactor == 1.0) {
            return d;
        }
        const auto n = static_cast<int>(Limit(std::round(d / m_dFactor)));
        return n != 0 ? n : (d > 0 ? 1 : -1);
    };
    return {convert(ptContent.x()), convert(ptContent.y())};
}

int CMapZoom::AnchoredScroll(double dMap, int nMap, int nAnchor) const {
    auto c = static_cast<int>(Limit(std::floor(dMap * m_dFactor)));
    const int nFirst = FirstContent(nMap);
    const int nLast = FirstContent(nMap + 1) - 1;
    if (nFirst <= nLast) {
        c = std::clamp(c, nFirst, nLast);
    }
    return std::max(0, c - nAnchor);
}

QPoint CMapZoom::ScrollKeepingAnchor(const CMapZoom& from, QPoint ptScroll, QPoint ptAnchor) const {
    const QPoint ptContent = ptAnchor + ptScroll;
    const double dMapX = (ptContent.x() + 0.5) / from.Factor();
    const double dMapY = (ptContent.y() + 0.5) / from.Factor();
    const QPoint ptMapUnder = from.MapFromContent(ptContent);
    return {AnchoredScroll(dMapX, ptMapUnder.x(), ptAnchor.x()),
            AnchoredScroll(dMapY, ptMapUnder.y(), ptAnchor.y())};
}

QRect CMapZoom::VisibleContentRect(QSize sizeMap, QSize sizeView, QPoint ptScroll) const {
    const QSize sizeContent = ContentSize(sizeMap);
    int nLeft = 0;
    int nRight = sizeContent.width();
    int nTop = 0;
    int nBottom = sizeContent.height();
    if (sizeContent.width() > sizeView.width()) {
        nLeft = ptScroll.x();
        nRight = ptScroll.x() + sizeView.width();
    }
    if (sizeContent.height() > sizeView.height()) {
        nTop = ptScroll.y();
        nBottom = ptScroll.y() + sizeView.height();
    }
    // QRect's right and bottom are inclusive; the map rectangle's are exclusive.
    return {QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1)};
}

QRect CMapZoom::VisibleMapRect(QSize sizeMap, QSize sizeView, QPoint ptScroll) const {
    const QRect rc = VisibleContentRect(sizeMap, sizeView, ptScroll);
    if (rc.isEmpty()) {
        return rc;
    }
    const QPoint ptTopLeft = MapFromContent(rc.topLeft());
    const QPoint ptBottomRight = MapFromContent(rc.bottomRight());
    return {ptTopLeft, QPoint(std::min(ptBottomRight.x(), sizeMap.width() - 1),
                              std::min(ptBottomRight.y(), sizeMap.height() - 1))};
}

int CMapZoom::TakeWheelNotches(int& nPending, int nDelta) {
    if ((nDelta > 0 && nPending < 0) || (nDelta < 0 && nPending > 0)) {
        nPending = 0;
    }
    constexpr int nLimit = kMaxPendingNotches * kWheelNotch;
    nPending = std::clamp(nPending + std::clamp(nDelta, -nLimit, nLimit), -nLimit, nLimit);
    const int nNotches = nPending / kWheelNotch; // toward zero: the rest stays pending
    nPending -= nNotches * kWheelNotch;
    return nNotches;
}

QRect CMapZoom::ContentRectOfMap(const QRect& rcMap) const {
    if (m_dFactor == 1.0) {
        return rcMap;
    }
    const QPoint ptTopLeft(FirstContent(rcMap.left()), FirstContent(rcMap.top()));
    const QPoint ptEnd(FirstContent(rcMap.right() + 1), FirstContent(rcMap.bottom() + 1));
    return {ptTopLeft, ptEnd - QPoint(1, 1)};
}

} // namespace mapreg
