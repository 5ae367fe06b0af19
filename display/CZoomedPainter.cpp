#include "display/CZoomedPainter.h"

#include "display/CMapPyramid.h"
#include "display/CSprite.h"
#include "display/CSpriteEngine.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mapreg {

namespace {

// The image a painter writes into, and where viewport point rcClient.topLeft() lies in it, when
// rows of a picture in sourceFormat can be written there directly with the same result as
// drawing them: a raster engine on an unshared 32-bit RGB image, one image pixel per viewport
// pixel, rcClient inside the image. Null otherwise (a scaled screen, a pixmap, a printer).
QImage* DirectTarget(QPainter& painter, const QRect& rcClient, QImage::Format sourceFormat,
                     QPoint& ptDevice) {
    QPaintEngine* pEngine = painter.paintEngine();
    if (sourceFormat != QImage::Format_RGB32 || pEngine == nullptr ||
        pEngine->type() != QPaintEngine::Raster || pEngine->paintDevice() == nullptr ||
        pEngine->paintDevice()->devType() != QInternal::Image) {
        return nullptr;
    }
    // Drawing copies RGB32 pixels unchanged onto both of these formats.
    auto* pImage = static_cast<QImage*>(pEngine->paintDevice());
    if ((pImage->format() != QImage::Format_RGB32 &&
         pImage->format() != QImage::Format_ARGB32_Premultiplied) ||
        !pImage->isDetached() || painter.hasClipping() || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return nullptr;
    }
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy())) {
        return nullptr;
    }
    ptDevice = rcClient.topLeft() +
               QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    return pImage->rect().contains(QRect(ptDevice, rcClient.size())) ? pImage : nullptr;
}

// One row of nearest-neighbour samples: pOut[x] = pIn[pColumns[x]]. pNext (may be null) is the
// source row wanted next; its lines are fetched ahead while this row is sampled, as each row of a
// reduced copy starts where the processor's own prefetch has not reached.
void SampleRow(const std::uint32_t* pIn, const std::uint32_t* pNext, const int* pColumns,
               std::uint32_t* pOut, int w) {
    constexpr int kLinePixels = 16; // one 64-byte cache line of the destination row
    int x = 0;
#if defined(__GNUC__)
    if (pNext != nullptr) {
        for (; x + kLinePixels <= w; x += kLinePixels) {
            __builtin_prefetch(pNext + pColumns[x]);
            __builtin_prefetch(pNext + pColumns[x + kLinePixels - 1]);
            for (int i = x; i < x + kLinePixels; ++i) {
                pOut[i] = pIn[pColumns[i]];
            }
        }
    }
#endif
    for (; x < w; ++x) {
        pOut[x] = pIn[pColumns[x]];
    }
}

} // namespace

QRect CZoomedPainter::FigureContentRect(const CSprite& sprite, CMapZoom zoom) {
    const QPoint ptMap = sprite.GetPosition();
    return sprite.GetRect().translated(zoom.ContentFromMap(ptMap) - ptMap);
}

QRegion CZoomedPainter::TakeFigures(const CSpriteEngine* pEngine, CMapZoom zoom) {
    if (zoom.IsActual() || pEngine == nullptr) {
        ClearFigures();
        return {};
    }
    // Back to front, in the order the engine draws them.
    m_figures.clear();
    for (int i = 0; i < pEngine->GetCount(); ++i) {
        m_figures.push_back(pEngine->GetSprite(i));
    }
    std::stable_sort(m_figures.begin(), m_figures.end(), [](const CSprite* a, const CSprite* b) {
        return a->GetDepth() > b->GetDepth();
    });
    QRegion rgnNow;
    for (const CSprite* pSprite : m_figures) {
        rgnNow += FigureContentRect(*pSprite, zoom);
    }
    const QRegion rgnChanged = m_rgnFigures + rgnNow;
    m_rgnFigures = rgnNow;
    return rgnChanged;
}

void CZoomedPainter::ClearFigures() {
    m_figures.clear();
    m_rgnFigures = QRegion();
}

void CZoomedPainter::Paint(QPainter& painter, const QRegion& region, const Scene& scene) {
    const bool actual = scene.zoom.IsActual();
    const QPoint ptScroll = scene.scroll;
    QRect rcPicture;
    if (scene.picture != nullptr) {
        rcPicture = QRect(-ptScroll, actual ? scene.picture->size() : scene.contentSize);
    }
    // Only the exposed area: the picture part from the picture, the rest filled.
    for (const QRect& rc : region) {
        const QRect rcInside = rc.intersected(rcPicture);
        if (!rcInside.isEmpty()) {
            if (actual) {
                painter.drawImage(rcInside.topLeft(), *scene.picture,
                                  rcInside.translated(ptScroll));
            } else {
                PaintPicturePart(painter, rcInside, scene);
            }
        }
        const QRegion outside = QRegion(rc).subtracted(QRegion(rcInside));
        for (const QRect& rcOut : outside) {
            painter.fillRect(rcOut, scene.outside);
        }
    }
    if (actual) {
        // At 100 % the figures are composed into the picture itself.
        return;
    }
    // The figures at their own size over the picture, back to front, each clipped to its box as
    // the engine clips them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (CSprite* pSprite : m_figures) {
        const QRect rcClient = FigureContentRect(*pSprite, scene.zoom).translated(-ptScroll);
        if (!region.intersects(rcClient)) {
            continue;
        }
        painter.save();
        painter.setClipRegion(region);
        painter.translate(rcClient.topLeft() - pSprite->GetRect().topLeft());
        painter.setClipRect(pSprite->GetRect(), Qt::IntersectClip);
        pSprite->Draw(painter);
        painter.restore();
    }
}

void CZoomedPainter::PaintPicturePart(QPainter& painter, const QRect& rcClient,
                                      const Scene& scene) {
    // Nearest neighbour from the finest reduced copy that is not coarser than the zoom, so that
    // every pixel on screen is the one whose map point the status bar reports.
    const CMapZoom zoom = scene.zoom;
    const int nWantedLevel = CMapPyramid::LevelFor(zoom.Factor());
    const QImage& source = scene.pyramid->Level(nWantedLevel);
    const int nLevel = std::min(nWantedLevel, scene.pyramid->BuiltLevels());
    const QRect rcContent = rcClient.translated(scene.scroll);
    const int w = rcContent.width();
    const int h = rcContent.height();
    if (zoom.Factor() == std::ldexp(1.0, -nLevel)) {
        // An exact level: its pixels are the content pixels.
        painter.drawImage(rcClient.topLeft(), source, rcContent);
        return;
    }
    if (source.depth() != 32) {
        // The map picture is always 32-bit; anything else is not sampled.
        painter.fillRect(rcClient, scene.outside);
        return;
    }
    // The rows go straight into the painter's image when it writes there pixel for pixel, else
    // into the scratch picture, which is then drawn.
    QPoint ptDevice;
    QImage* pTarget = DirectTarget(painter, rcClient, source.format(), ptDevice);
    if (pTarget == nullptr) {
        if (m_imgScratch.width() < w || m_imgScratch.height() < h ||
            m_imgScratch.format() != source.format()) {
            m_imgScratch = QImage(std::max(w, m_imgScratch.width()),
                                  std::max(h, m_imgScratch.height()), source.format());
            if (m_imgScratch.isNull()) {
                painter.fillRect(rcClient, scene.outside);
                return;
            }
        }
        pTarget = &m_imgScratch;
        ptDevice = QPoint(0, 0);
    }
    m_columns.resize(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        m_columns[static_cast<std::size_t>(x)] =
            std::clamp(zoom.MapFromContent(rcContent.left() + x) >> nLevel, 0, source.width() - 1);
    }
    const qsizetype nStride = pTarget->bytesPerLine();
    uchar* pFirst = pTarget->bits() + ptDevice.y() * nStride + ptDevice.x() * qsizetype{4};
    const std::size_t nRowBytes = static_cast<std::size_t>(w) * sizeof(std::uint32_t);
    const auto sourceRow = [&](int y) {
        return std::clamp(zoom.MapFromContent(rcContent.top() + y) >> nLevel, 0,
                          source.height() - 1);
    };
    int nLastRow = -1;
    int nRow = sourceRow(0);
    for (int y = 0; y < h; ++y) {
        const int nNextRow = y + 1 < h ? sourceRow(y + 1) : nRow;
        uchar* pOut = pFirst + y * nStride;
        if (nRow == nLastRow) {
            // Enlarged views repeat a row as many times as the zoom factor.
            std::memcpy(pOut, pOut - nStride, nRowBytes);
        } else {
            SampleRow(reinterpret_cast<const std::uint32_t*>(source.constScanLine(nRow)),
                      nNextRow != nRow
                          ? reinterpret_cast<const std::uint32_t*>(source.constScanLine(nNextRow))
                          : nullptr,
                      m_columns.data(), reinterpret_cast<std::uint32_t*>(pOut), w);
            nLastRow = nRow;
        }
        nRow = nNextRow;
    }
    if (pTarget == &m_imgScratch) {
        painter.drawImage(rcClient.topLeft(), m_imgScratch, QRect(0, 0, w, h));
    }
}

} // namespace mapreg
