#include "display/CSmoothScroll.h"

#include <algorithm>

namespace mapreg {

std::optional<QPoint> CSmoothScroll::Step() {
    m_nProgress = std::min(m_nProgress + kPercentPerTick, 100);
    if (m_ptFrom == m_ptTo) {
        return std::nullopt;
    }
    // 64-bit products: scroll distances times 100 stay exact for any picture size.
    const auto step = [this](int nFrom, int nTo) {
        return nFrom + static_cast<int>(static_cast<long long>(nTo - nFrom) * m_nProgress / 100);
    };
    return QPoint(step(m_ptFrom.x(), m_ptTo.x()), step(m_ptFrom.y(), m_ptTo.y()));
}

} // namespace mapreg
