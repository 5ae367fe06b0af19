#pragma once
// A smooth scroll of the map view: from one scroll position to another in steps of a tenth of
// the distance, one per tick of the view's timer. Positions are content pixels.

#include <QPoint>

#include <optional>

namespace mapreg {

class CSmoothScroll {
public:
    static constexpr int kPercentPerTick = 10;

    void Start(QPoint ptFrom, QPoint ptTo) {
        m_ptFrom = ptFrom;
        m_ptTo = ptTo;
        m_nProgress = 0;
    }
    // Ends a scroll (or none) where the view stands.
    void Stop(QPoint ptAt) { Start(ptAt, ptAt); }
    bool IsRunning() const { return m_ptFrom != m_ptTo && m_nProgress < 100; }

    // One tick: the position to scroll to now, nothing when there is no distance to go.
    // IsLastStep tells whether this tick reached the end (the caller then stops).
    std::optional<QPoint> Step();
    bool IsLastStep() const { return m_nProgress == 100; }

private:
    QPoint m_ptFrom;
    QPoint m_ptTo;
    int m_nProgress = 0;
};

} // namespace mapreg
