#pragma once
// The movable figures of the map view: three calibration marks with their number labels and the
// waypoint pointers, all at the figure size of the display settings. The view hands them to its
// sprite engine; the mouse tools move them.

#include "display/ColorRef.h"

#include <QSize>

#include <array>
#include <memory>

namespace mapreg {

class CLabelSprite;
class CMarkSprite;
class CPointerSprite;

class CMapFigures {
public:
    static constexpr int kMarks = 3;
    static constexpr int kPointers = 100;

    CMapFigures();
    ~CMapFigures();
    CMapFigures(const CMapFigures&) = delete;
    CMapFigures& operator=(const CMapFigures&) = delete;

    // Figure size of a settings figure size 0 (small), 1 (medium), 2 (large); 1 x 1 otherwise.
    static QSize SizeFor(int nSpriteSize);

    // Replaces every figure by a new one of the figure size nSpriteSize, pointers in
    // crPointer. Throws std::bad_alloc, leaving no figures, when memory runs out.
    void Create(int nSpriteSize, COLORREF crPointer);
    // Deletes every figure; the engine must not list them any more.
    void Delete();

    QSize Size() const { return m_sizeSprite; }
    // Null for an index out of range or while the figures are deleted.
    CMarkSprite* Mark(int k) const;
    CLabelSprite* Label(int k) const;
    CPointerSprite* Pointer(int i) const;

private:
    std::array<std::unique_ptr<CMarkSprite>, kMarks> m_pMarks;
    std::array<std::unique_ptr<CLabelSprite>, kMarks> m_pLabels;
    std::array<std::unique_ptr<CPointerSprite>, kPointers> m_pPointers;
    QSize m_sizeSprite{1, 1};
};

} // namespace mapreg
