#pragma once
// The control point figure: a pointer (ring with an upright cross) with the point's number in
// its top-right corner, white on a black outline so that it reads on any map. Centred on its
// position; the view keeps it at screen size at every zoom level like every other figure.
#include "display/CPointerSprite.h"

#include <QString>

namespace mapreg {

class CControlPointSprite : public CPointerSprite {
public:
    static constexpr int kKind = 4;

    CControlPointSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor);

    int GetKind() const override { return kKind; }
    bool Draw(QPainter& painter) override;

    int GetNumber() const { return m_nNumber; }
    // The number shown (from 1); redraws only when it changes.
    void SetNumber(int nNumber);

private:
    int m_nNumber = 0;
};

} // namespace mapreg
