#include "display/CLabelSprite.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace mapreg {

namespace {

// Arrow shapes in percent of the figure's width (x) and height (y), pointing at the hot spot.
using Template = std::array<QPoint, CLabelSprite::kArrowPoints>;
constexpr Template kVertical = {
    {{0, 50}, {-25, 75}, {-5, 65}, {-5, 100}, {5, 100}, {5, 65}, {25, 75}}};
constexpr Template kHorizontal = {
    {{-50, 0}, {-75, -25}, {-65, -5}, {-100, -5}, {-100, 5}, {-65, 5}, {-75, 25}}};
constexpr Template kDiagonal = {
    {{-50, 50}, {-87, 50}, {-63, 57}, {-93, 86}, {-86, 93}, {-57, 63}, {-50, 87}}};

// Box offsets in half sides: -1 is -w/2, -3 is -3w/2, +1 is +w/2.
struct SAnchorRule {
    const Template* pTemplate;
    int nSignX;
    int nSignY;
    QPoint ptTextPercent;
    Qt::AlignmentFlag eTextAlign;
    int nBoxHalvesX;
    int nBoxHalvesY;
    QPoint ptShift;
};

constexpr std::array<SAnchorRule, CLabelSprite::kAnchorCount> kAnchorRules = {{
    {&kVertical, 1, 1, {0, 100}, Qt::AlignHCenter, -1, 1, {0, 1}},
    {&kDiagonal, 1, 1, {-135, 100}, Qt::AlignLeft, -3, 1, {-1, 1}},
    {&kHorizontal, 1, 1, {-135, -25}, Qt::AlignLeft, -3, -1, {-1, 0}},
    {&kDiagonal, 1, -1, {-135, -150}, Qt::AlignLeft, -3, -3, {-1, -1}},
    {&kVertical, 1, -1, {0, -150}, Qt::AlignHCenter, -1, -3, {0, -1}},
    {&kDiagonal, -1, -1, {135, -150}, Qt::AlignRight, 1, -3, {1, -1}},
    {&kHorizontal, -1, 1, {135, -25}, Qt::AlignRight, 1, -1, {1, 0}},
    {&kDiagonal, -1, 1, {135, 100}, Qt::AlignRight, 1, 1, {1, 1}},
}};

// percent of side, truncated toward zero.
int Percent(int nPercent, int nSide) {
    return nPercent * nSide / 100;
}

// A negative count of halves is truncated toward zero like the positive one: -3w/2 = -(3w/2).
int Halves(int nHalves, int nSide) {
    return nHalves * nSide / 2;
}

QPoint BoxOffset(int nAnchor, QSize size) {
    const SAnchorRule& rule = kAnchorRules[static_cast<std::size_t>(nAnchor)];
    return QPoint(Halves(rule.nBoxHalvesX, size.width()), Halves(rule.nBoxHalvesY, size.height()));
}

// A bold serif font whose character cell is nCellHeight pixels high and whose average
// character is nAverageWidth pixels wide. Not antialiased: labels are painted again over
// themselves and must then give the same pixels.
QFont MakeLabelFont(int nCellHeight, int nAverageWidth) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setStyleHint(QFont::Serif, QFont::NoAntialias);
    font.setWeight(QFont::Bold);
    font.setPixelSize(100);
    const QFontMetricsF metrics100(font);
    const double dCellPer100 = std::max(1.0, metrics100.ascent() + metrics100.descent());
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(nCellHeight * 100.0 / dCellPer100))));
    const double dAverage = QFontMetricsF(font).averageCharWidth();
    if (dAverage > 0.0) {
        font.setStretch(
            std::clamp(static_cast<int>(std::lround(nAverageWidth * 100.0 / dAverage)), 1, 4000));
    }
    return font;
}

} // namespace

CLabelSprite::SLayout CLabelSprite::LayoutFor(int nAnchor, QSize size) {
    const SAnchorRule& rule = kAnchorRules[static_cast<std::size_t>(std::clamp(nAnchor, 0, 7))];
    SLayout layout;
    for (std::size_t i = 0; i < layout.arrow.size(); ++i) {
        const QPoint pt = (*rule.pTemplate)[i];
        layout.arrow[i] = QPoint(rule.nSignX * Percent(pt.x(), size.width()),
                                 rule.nSignY * Percent(pt.y(), size.height()));
    }
    layout.ptShift = rule.ptShift;
    layout.ptText = QPoint(Percent(rule.ptTextPercent.x(), size.width()),
                           Percent(rule.ptTextPercent.y(), size.height()));
    layout.eTextAlign = rule.eTextAlign;
    layout.ptBoxOffset = BoxOffset(nAnchor, size);
    return layout;
}

CLabelSprite::CLabelSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor, int nAnchor,
                           const QString& strText)
    : CSprite(nDepth) {
    SetColor(crColor);
    SetAnchor(nAnchor);
    if (!SetSize(sizeRequested)) {
        SetSize(QSize(kFallbackSide, kFallbackSide));
    }
    SetText(strText);
}

bool CLabelSprite::SetSize(QSize size) {
    if (!CSprite::SetSize(size)) {
        return false;
    }
    m_sizeFont = size;
    m_bFontDue = true;
    Layout();
    return true;
}

const std::optional<QFont>& CLabelSprite::GetFont() const {
    if (m_bFontDue) {
        m_bFontDue = false;
        m_font = MakeLabelFont(m_sizeFont.height() / 2, m_sizeFont.width() / 5);
    }
    return m_font;
}

void CLabelSprite::SetColor(COLORREF crColor) {
    m_crColor = crColor & kColorRefMask;
    SetChanged();
}

bool CLabelSprite::SetAnchor(int nAnchor) {
    if (nAnchor < 0 || nAnchor >= kAnchorCount) {
        return false;
    }
    m_nAnchor = nAnchor;
    Layout();
    return true;
}

void CLabelSprite::SetText(const QString& strText) {
    m_strText = strText;
    SetChanged();
}

void CLabelSprite::Layout() {
    m_layout = LayoutFor(m_nAnchor, GetSize());
    RecalcOffset();
}

void CLabelSprite::RecalcOffset() {
    SetOffset(BoxOffset(m_nAnchor, GetSize()));
    SetChanged();
}

void CLabelSprite::RecalcDrawnOffset() {
    SetDrawnOffset(BoxOffset(m_nAnchor, GetDrawnSize()));
}

bool CLabelSprite::Draw(QPainter& painter) {
    const QPoint ptHot = GetPosition();
    std::array<QPoint, kArrowPoints> arrow = m_layout.arrow;
    for (QPoint& pt : arrow) {
        pt += ptHot + m_layout.ptShift;
    }
    const QColor color = ColorFromColorRef(m_crColor);
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color);
    painter.drawPolygon(arrow.data(), kArrowPoints);

    const std::optional<QFont>& font = GetFont();
    if (font.has_value() && !m_strText.isEmpty()) {
        painter.setFont(*font);
        const QFontMetrics metrics(*font);
        const int nWidth = metrics.horizontalAdvance(m_strText);
        QPoint ptText = ptHot + m_layout.ptText;
        if (m_layout.eTextAlign == Qt::AlignHCenter) {
            ptText.rx() -= nWidth / 2;
        } else if (m_layout.eTextAlign == Qt::AlignRight) {
            ptText.rx() -= nWidth;
        }
        // The reference point is the top of the text; QPainter places the baseline.
        ptText.ry() += metrics.ascent();
        painter.setPen(Qt::black);
        painter.drawText(ptText, m_strText);
        painter.setPen(color);
        painter.drawText(ptText - QPoint(1, 1), m_strText);
    }
    painter.restore();
    return true;
}

} // namespace mapreg
