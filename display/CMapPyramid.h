#pragma once
// Reduced copies of the map picture for views below 100 %: level n is the picture at 1/2^n, each
// level the 2 x 2 area average of the one before. Levels are made on first need and together
// take at most a third of the picture's memory.

#include <QImage>

#include <vector>

namespace mapreg {

class CMapPyramid {
public:
    // pPicture (not owned, may be null) must stay unchanged while levels above 0 are in use.
    explicit CMapPyramid(const QImage* pPicture);

    // The picture itself for level 0; the reduced copy for 1..kMaxLevel, made first when missing.
    // A level that cannot be made (no memory) gives the finest one below it that exists.
    const QImage& Level(int nLevel);
    // The coarsest level that still has at least as many pixels per map pixel as factor: 0 for
    // factors of 1 and above, n for factors in [1/2^n, 1/2^(n-1)).
    static int LevelFor(double dFactor);
    // Levels made so far (0 when only the picture is there), and the bytes they hold.
    int BuiltLevels() const { return static_cast<int>(m_levels.size()); }
    qsizetype LevelBytes() const;

    // A 32-bit picture at half size, sides rounded up; every pixel the rounded average of the
    // 2 x 2 block it covers (of the pixels present at an odd right or bottom edge). A null image
    // when there is no memory or the source is not 32-bit.
    static QImage HalfSize(const QImage& source);

    static constexpr int kMaxLevel = 5; // 1/32, the smallest zoom

private:
    const QImage* m_pPicture;
    std::vector<QImage> m_levels; // level n at index n - 1
    QImage m_none;
};

} // namespace mapreg
