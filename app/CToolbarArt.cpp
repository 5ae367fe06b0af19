#include "app/CToolbarArt.h"

#include "resources/StringTable.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace mapreg {

namespace {

const QColor kInk(32, 32, 32);
const QColor kPaper(255, 255, 255);
const QColor kFolder(230, 190, 60);
const QColor kFolderDark(160, 120, 20);
const QColor kDisk(40, 80, 170);
const QColor kSky(120, 180, 240);
const QColor kLand(60, 160, 70);
const QColor kSun(250, 210, 40);
const QColor kPin(210, 30, 30);
const QColor kHelp(30, 90, 200);

void DrawPage(QPainter& p) {
    // A sheet with a folded top-right corner.
    const QPolygon sheet(
        {QPoint(2, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 14), QPoint(2, 14)});
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawLine(10, 0, 10, 3);
    p.drawLine(10, 3, 13, 3);
}

void DrawFolder(QPainter& p) {
    p.setPen(kFolderDark);
    p.setBrush(kFolder);
    p.drawRect(0, 3, 12, 10);
    p.drawRect(1, 1, 5, 2);
    // The open lid, tilted forward.
    const QPolygon lid({QPoint(3, 6), QPoint(15, 6), QPoint(12, 13), QPoint(0, 13)});
    p.setBrush(kFolder.lighter(115));
    p.drawPolygon(lid);
    // The arrow that says "open".
    p.setPen(kInk);
    p.drawLine(9, 0, 13, 0);
    p.drawLine(13, 0, 13, 3);
    p.drawLine(12, 2, 14, 2);
}

void DrawDisk(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kDisk);
    p.drawRect(1, 0, 13, 14);
    p.setBrush(kPaper);
    p.drawRect(4, 0, 7, 5); // label slot
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 9, 7, 5); // shutter
    p.fillRect(9, 10, 2, 3, kInk);
}

void DrawPicture(QPainter& p, const QRect& r) {
    // A framed landscape: sky, sun, a green hill.
    p.setPen(kInk);
    p.setBrush(kSky);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(QRect(r.right() - 5, r.top() + 2, 4, 4));
    QPainterPath hill;
    hill.moveTo(r.left() + 1, r.bottom());
    hill.quadTo(r.left() + r.width() / 3, r.top() + r.height() / 3, r.right(), r.bottom());
    p.setBrush(kLand);
    p.drawPath(hill);
}

void DrawMark(QPainter& p, QPointF c, const QColor& color) {
    // A calibration mark: a coloured ring with a dark halo and a dot at its centre.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 3.2));
    p.drawEllipse(c, 3.0, 3.0);
    p.setPen(QPen(color, 1.6));
    p.drawEllipse(c, 3.0, 3.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(c, 0.9, 0.9);
}

void DrawCalibrate(QPainter& p) {
    // Three calibration marks in their own colours at the corners of a triangle.
    const QPointF a(8.0, 4.0), b(4.0, 11.0), c(12.0, 11.0);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawLine(a, b);
    p.drawLine(b, c);
    p.drawLine(c, a);
    DrawMark(p, a, QColor(255, 255, 0));
    DrawMark(p, b, QColor(0, 255, 0));
    DrawMark(p, c, QColor(0, 255, 255));
}

void DrawPin(QPainter& p, QPoint tip, int nHead) {
    // A position pin standing on its tip.
    QPainterPath path;
    const QPointF head(tip.x(), tip.y() - nHead - 2);
    path.moveTo(tip);
    path.lineTo(head.x() - nHead * 0.8, head.y() + nHead * 0.5);
    path.arcTo(QRectF(head.x() - nHead, head.y() - nHead, 2.0 * nHead, 2.0 * nHead), 205, -230);
    path.closeSubpath();
    p.setPen(QColor(110, 0, 0));
    p.setBrush(kPin);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(head, nHead * 0.35, nHead * 0.35);
}

void DrawWaypoints(QPainter& p) {
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
    p.drawLine(3, 13, 12, 9);
    DrawPin(p, QPoint(3, 14), 3);
    DrawPin(p, QPoint(12, 10), 3);
}

void DrawSaveWaypoints(QPainter& p) {
    // A small disk with a pin in front of it.
    p.setPen(kInk);
    p.setBrush(kDisk);
    p.drawRect(5, 0, 10, 10);
    p.setBrush(kPaper);
    p.drawRect(7, 0, 6, 3);
    DrawPin(p, QPoint(4, 14), 4);
}

void DrawMagnifier(QPainter& p, unsigned nCommandId) {
    // A magnifying glass with a plus, a minus or "1" in its lens.
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.0, 10.0), QPointF(14.0, 14.0));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(6.5, 6.5), 5.5, 5.5);
    p.setPen(QPen(kHelp, 1.6));
    if (nCommandId != ID_VIEW_ZOOM_ACTUAL_SIZE) {
        p.drawLine(QPointF(4.0, 6.5), QPointF(9.0, 6.5));
    }
    if (nCommandId == ID_VIEW_ZOOM_IN) {
        p.drawLine(QPointF(6.5, 4.0), QPointF(6.5, 9.0));
    } else if (nCommandId == ID_VIEW_ZOOM_ACTUAL_SIZE) {
        p.drawLine(QPointF(7.0, 3.5), QPointF(7.0, 9.5));
        p.drawLine(QPointF(7.0, 3.5), QPointF(5.0, 5.0));
    }
}

void DrawFit(QPainter& p) {
    // A sheet with four arrows pointing into its corners.
    p.setPen(kInk);
    p.setBrush(kSky);
    p.drawRect(3, 3, 9, 8);
    p.setPen(QPen(kInk, 1.2));
    const QPointF corners[] = {{0.5, 0.5}, {15.0, 0.5}, {0.5, 14.0}, {15.0, 14.0}};
    for (const QPointF& c : corners) {
        const double dx = c.x() < 8 ? 3.0 : -3.0;
        const double dy = c.y() < 7 ? 3.0 : -3.0;
        p.drawLine(c, c + QPointF(dx, 0.0));
        p.drawLine(c, c + QPointF(0.0, dy));
    }
}

void DrawAbout(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kHelp);
    p.drawEllipse(QRectF(0.5, 0.0, 14.5, 14.5));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QPixmap CToolbarArt::ButtonImage(unsigned nCommandId) {
    QPixmap pixmap(kButtonWidth, kButtonHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (nCommandId) {
    case ID_FILE_NEW:
        DrawPage(p);
        break;
    case ID_FILE_OPEN:
        DrawFolder(p);
        break;
    case ID_FILE_SAVE:
        DrawDisk(p);
        break;
    case ID_MAP_NEW_BITMAP:
        DrawPicture(p, QRect(0, 1, 15, 12));
        p.setRenderHint(QPainter::Antialiasing);
        break;
    case ID_MAP_CALIBRATE:
        p.setRenderHint(QPainter::Antialiasing);
        DrawCalibrate(p);
        break;
    case ID_ENTER_WAYPOINTS:
        p.setRenderHint(QPainter::Antialiasing);
        DrawWaypoints(p);
        break;
    case ID_SAVE_WAYPOINTS:
        p.setRenderHint(QPainter::Antialiasing);
        DrawSaveWaypoints(p);
        break;
    case ID_APP_ABOUT:
        p.setRenderHint(QPainter::Antialiasing);
        DrawAbout(p);
        break;
    case ID_VIEW_ZOOM_IN:
    case ID_VIEW_ZOOM_OUT:
    case ID_VIEW_ZOOM_ACTUAL_SIZE:
        p.setRenderHint(QPainter::Antialiasing);
        DrawMagnifier(p, nCommandId);
        break;
    case ID_VIEW_ZOOM_FIT:
        DrawFit(p);
        break;
    default:
        p.end();
        return {};
    }
    return pixmap;
}

QPixmap CToolbarArt::AppIconImage(int nSize) {
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(nSize / 64.0, nSize / 64.0);

    // A map sheet: sea with two land masses and a latitude/longitude grid.
    const QRectF sheet(4, 8, 56, 44);
    p.setPen(QPen(QColor(40, 60, 90), 2));
    p.setBrush(QColor(150, 200, 240));
    p.drawRoundedRect(sheet, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 170, 80));
    QPainterPath land;
    land.moveTo(10, 16);
    land.cubicTo(24, 10, 30, 22, 24, 30);
    land.cubicTo(20, 38, 12, 34, 10, 16);
    land.moveTo(34, 22);
    land.cubicTo(48, 14, 58, 24, 54, 36);
    land.cubicTo(50, 46, 38, 44, 34, 22);
    p.drawPath(land);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    for (int x = 18; x < 60; x += 14) {
        p.drawLine(QPointF(x, 9), QPointF(x, 51));
    }
    for (int y = 19; y < 52; y += 11) {
        p.drawLine(QPointF(5, y), QPointF(59, y));
    }

    // The position pin.
    QPainterPath pin;
    pin.moveTo(40, 60);
    pin.lineTo(30.5, 40);
    pin.arcTo(QRectF(29, 22, 22, 22), 205, -230);
    pin.closeSubpath();
    p.setPen(QPen(QColor(110, 0, 0), 2));
    p.setBrush(kPin);
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(40, 33), 4.5, 4.5);
    return pixmap;
}

QIcon CToolbarArt::AppIconDrawn() {
    QIcon icon;
    for (int nSize : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(AppIconImage(nSize));
    }
    return icon;
}

namespace {

// An icon engine that draws the application icon when it is first asked for anything, and from
// then on answers as the drawn icon's own engine does. All its pictures have a device pixel ratio
// of 1, so that engine picks the same picture at any scale: a scaled pixmap is the pixmap of
// the scaled size, which QIcon::pixmap gives for a ratio of 1 by asking the engine directly.
class CAppIconEngine : public QIconEngine {
public:
    CAppIconEngine() = default;
    explicit CAppIconEngine(const QIcon& drawn) : m_drawn(drawn) {}

    void paint(QPainter* pPainter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        // As the drawn icon's engine paints: the picture for the device's pixels, into rect.
        const QPaintDevice* pDevice = pPainter->device();
        const qreal dRatio =
            pDevice != nullptr ? pDevice->devicePixelRatio() : qApp->devicePixelRatio();
        pPainter->drawPixmap(rect, scaledPixmap(rect.size() * dRatio, mode, state, dRatio));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // QIcon::actualSize asks the engine directly only at a ratio of 1; the pixmap has the
        // size the engine reports in any case.
        if (!(qApp->devicePixelRatio() > 1.0)) {
            return Drawn().actualSize(size, mode, state);
        }
        return Drawn().pixmap(size, 1.0, mode, state).size();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Drawn().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal /*scale*/) override {
        return pixmap(size, mode, state);
    }
    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override {
        Drawn().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode,
                 QIcon::State state) override {
        Drawn().addFile(fileName, size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Drawn().availableSizes(mode, state);
    }
    bool isNull() override { return m_drawn.has_value() && m_drawn->isNull(); }
    QIconEngine* clone() const override {
        return m_drawn.has_value() ? new CAppIconEngine(*m_drawn) : new CAppIconEngine;
    }

private:
    QIcon& Drawn() {
        if (!m_drawn.has_value()) {
            m_drawn = CToolbarArt::AppIconDrawn();
        }
        return *m_drawn;
    }

    std::optional<QIcon> m_drawn;
};

} // namespace

QIcon CToolbarArt::AppIcon() {
    return QIcon(new CAppIconEngine);
}

} // namespace mapreg
