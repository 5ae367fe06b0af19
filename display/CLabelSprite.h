#pragma once
// The number flag beside a calibration mark: a filled arrow pointing at the hot spot and a bold
// serif text with a black shadow, laid out on one of eight sides of the hot spot (the anchor).
#include "display/CSprite.h"
#include "display/ColorRef.h"

#include <QFont>
#include <QString>

#include <array>
#include <optional>

namespace mapreg {

class CLabelSprite : public CSprite {
public:
    static constexpr int kKind = 1;
    static constexpr int kFallbackSide = 36;
    static constexpr int kArrowPoints = 7;

    // Sides of the hot spot on which the label lies.
    enum EAnchor {
        kBelow = 0,
        kBelowLeft = 1,
        kLeft = 2,
        kAboveLeft = 3,
        kAbove = 4,
        kAboveRight = 5,
        kRight = 6,
        kBelowRight = 7,
    };
    static constexpr int kAnchorCount = 8;

    // The layout of a label with the given anchor (0..7) and size, relative to the hot spot:
    // the arrow before the one-pixel shift, the shift, the text's reference point with its
    // horizontal alignment (the reference is the top of the text) and the bounding box offset.
    struct SLayout {
        std::array<QPoint, kArrowPoints> arrow;
        QPoint ptShift;
        QPoint ptText;
        Qt::AlignmentFlag eTextAlign;
        QPoint ptBoxOffset;
    };
    static SLayout LayoutFor(int nAnchor, QSize size);

    // Answers the requested size, or kFallbackSide square when that is refused; the anchor must
    // be 0..7 (anything else gives 0).
    CLabelSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor, int nAnchor,
                 const QString& strText);

    int GetKind() const override { return kKind; }
    // Also sets the font for the new size (height cy/2, average character width cx/5), made
    // when it is first used: the fonts of the labels load no font file before a label shows.
    bool SetSize(QSize size) override;
    bool Draw(QPainter& painter) override;

    COLORREF GetColor() const { return m_crColor; }
    void SetColor(COLORREF crColor);
    int GetAnchor() const { return m_nAnchor; }
    // Lays the label out on another side; false (nothing changes) for anchors outside 0..7.
    bool SetAnchor(int nAnchor);
    const QString& GetText() const { return m_strText; }
    void SetText(const QString& strText);
    // The label font; empty before the first accepted size.
    const std::optional<QFont>& GetFont() const;

protected:
    void RecalcOffset() override;
    void RecalcDrawnOffset() override;

private:
    void Layout();

    COLORREF m_crColor = 0;
    int m_nAnchor = kBelow;
    QString m_strText;
    // The font, made for m_sizeFont when first asked for after a new size.
    mutable std::optional<QFont> m_font;
    mutable bool m_bFontDue = false;
    QSize m_sizeFont;
    SLayout m_layout{};
};

} // namespace mapreg
