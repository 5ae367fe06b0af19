#include "app/CControlPointsDock.h"

#include "app/AppStrings.h"
#include "app/CGpsView.h"

#include "coords/AngleParser.h"
#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"
#include "document/CGpsDoc.h"
#include "georef/CPointFit.h"
#include "georef/DeviceError.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace mapreg {

namespace {

QString Metres(double value, int nDecimals) {
    return std::isfinite(value) ? QString::number(value, 'f', nDecimals) : QStringLiteral("\u2014");
}

// A world coordinate as the table shows it: degrees to about a centimetre, metres to one.
QString WorldText(double value, bool bUtm) {
    return QString::number(value, 'f', bUtm ? 2 : 7);
}

} // namespace

CControlPointsDock::CControlPointsDock(CGpsDoc& doc, CGpsView& view, QAction* pApply,
                                       QWidget* pParent)
    : QDockWidget(AppString(IDS_POINTS_DOCK_TITLE), pParent), m_doc(doc), m_view(view) {
    // The name under which the window's saved state knows the dock.
    setObjectName(QStringLiteral("controlPointsDock"));
    auto* pBody = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pBody);
    pLayout->setContentsMargins(4, 4, 4, 4);
    m_pUnits = new QWidget(pBody);
    m_pUnits->setObjectName(QStringLiteral("controlPointsUnits"));
    auto* pUnitsLayout = new QHBoxLayout(m_pUnits);
    pUnitsLayout->setContentsMargins(0, 0, 0, 0);
    m_pLatLon = new QRadioButton(AppString(IDS_CALIB_LATLON), m_pUnits);
    m_pUtm = new QRadioButton(AppString(IDS_CALIB_UTM), m_pUnits);
    auto* pZoneLabel = new QLabel(AppString(IDS_CALIB_ZONE), m_pUnits);
    m_pZone = new QLineEdit(m_pUnits);
    m_pZone->setMaxLength(4);
    m_pZone->setFixedWidth(m_pZone->fontMetrics().horizontalAdvance(QStringLiteral("000W")) + 12);
    pZoneLabel->setBuddy(m_pZone);
    for (QWidget* pWidget :
         std::initializer_list<QWidget*>{m_pLatLon, m_pUtm, pZoneLabel, m_pZone}) {
        pUnitsLayout->addWidget(pWidget);
    }
    pUnitsLayout->addStretch();
    pLayout->addWidget(m_pUnits);
    connect(m_pUtm, &QRadioButton::toggled, this, &CControlPointsDock::OnUnitsChanged);
    connect(m_pZone, &QLineEdit::editingFinished, this, &CControlPointsDock::OnUnitsChanged);
    m_pTable = new QTableWidget(0, kColumns, pBody);
    m_pTable->setObjectName(QStringLiteral("controlPointsTable"));
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pLayout->addWidget(m_pTable);
    m_pSummary = new QLabel(pBody);
    m_pSummary->setObjectName(QStringLiteral("controlPointsSummary"));
    m_pSummary->setTextFormat(Qt::PlainText);
    m_pSummary->setWordWrap(true);
    pLayout->addWidget(m_pSummary);
    m_pApply = new QToolButton(pBody);
    m_pApply->setObjectName(QStringLiteral("controlPointsApply"));
    m_pApply->setDefaultAction(pApply);
    m_pApply->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pLayout->addWidget(m_pApply, 0, Qt::AlignRight);
    setWidget(pBody);

    connect(m_pTable, &QTableWidget::itemChanged, this, &CControlPointsDock::OnItemChanged);
    connect(m_pTable, &QTableWidget::currentCellChanged, this, [this](int nRow) {
        if (!m_bFilling) {
            m_view.SelectControlPoint(nRow);
        }
    });
    connect(&m_view, &CGpsView::selectedPointChanged, this, [this](int nPoint) {
        if (nPoint != m_pTable->currentRow() && nPoint < m_pTable->rowCount()) {
            m_bFilling = true;
            m_pTable->setCurrentCell(nPoint, nPoint < 0 ? -1 : kColumnNumber);
            m_bFilling = false;
        }
    });
    m_doc.AddView(this);
    Refresh();
}

CControlPointsDock::~CControlPointsDock() {
    m_doc.RemoveView(this);
}

int CControlPointsDock::PreferredWidth() const {
    // The columns, the table's frame and scroll bar, and the margins around it.
    return m_pTable->horizontalHeader()->length() + 2 * m_pTable->frameWidth() +
           m_pTable->verticalScrollBar()->sizeHint().width() + 16;
}

void CControlPointsDock::OnUpdate(CDocument* /*pSender*/, int nHint) {
    const auto hint = static_cast<UpdateHint>(nHint);
    if (hint != UpdateHint::HINT_SET_MARK_COORDINATES &&
        hint != UpdateHint::HINT_CALIBRATION_STARTED) {
        Refresh();
    }
}

void CControlPointsDock::SetCell(int nRow, int nColumn, const QString& text, bool bEditable) {
    QTableWidgetItem* pItem = m_pTable->item(nRow, nColumn);
    if (pItem == nullptr) {
        pItem = new QTableWidgetItem;
        m_pTable->setItem(nRow, nColumn, pItem);
    }
    pItem->setText(text);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (bEditable) {
        flags |= Qt::ItemIsEditable;
    }
    pItem->setFlags(flags);
    pItem->setTextAlignment(nColumn == kColumnNumber ? Qt::AlignCenter
                                                     : Qt::AlignRight | Qt::AlignVCenter);
}

void CControlPointsDock::Refresh() {
    m_bFilling = true;
    const std::vector<ControlPoint>& points = m_doc.GetControlPoints();
    const CCalibration& kind = m_doc.GetCalibration();
    const bool bUtm = kind.IsUtm();
    m_pUnits->setVisible(!m_doc.IsCalibrated());
    (bUtm ? m_pUtm : m_pLatLon)->setChecked(true);
    m_pZone->setEnabled(bUtm);
    m_pZone->setText(bUtm ? QString::number(kind.zone) + QChar(kind.letter) : QString());
    const CPointFit& fit = m_doc.GetPointFit();
    const int nRows = static_cast<int>(points.size());
    m_pTable->setHorizontalHeaderLabels(
        {AppString(IDS_POINTS_COLUMN_NUMBER), AppString(IDS_CALIB_COLUMN_X),
         AppString(IDS_CALIB_COLUMN_Y), AppString(bUtm ? IDS_EASTING : IDS_LATITUDE),
         AppString(bUtm ? IDS_NORTHING : IDS_LONGITUDE), AppString(IDS_POINTS_COLUMN_ENABLED),
         AppString(IDS_POINTS_COLUMN_RESIDUAL), AppString(IDS_POINTS_COLUMN_LEAVE_ONE_OUT)});
    // Columns sized to their contents would measure the whole column again for every cell
    // written (a drop among 100 points took seconds): they are measured once, after the fill.
    QHeaderView* pHeader = m_pTable->horizontalHeader();
    pHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_pTable->setRowCount(nRows);
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const ControlPoint& p = points[static_cast<std::size_t>(nRow)];
        SetCell(nRow, kColumnNumber, QString::number(nRow + 1), false);
        SetCell(nRow, kColumnX, QString::number(p.picture.x, 'g', 10), true);
        SetCell(nRow, kColumnY, QString::number(p.picture.y, 'g', 10), true);
        SetCell(nRow, kColumnWorld1, WorldText(bUtm ? p.world.x : p.world.y, bUtm), true);
        SetCell(nRow, kColumnWorld2, WorldText(bUtm ? p.world.y : p.world.x, bUtm), true);
        SetCell(nRow, kColumnEnabled, QString(), false);
        QTableWidgetItem* pEnabled = m_pTable->item(nRow, kColumnEnabled);
        pEnabled->setFlags(pEnabled->flags() | Qt::ItemIsUserCheckable);
        pEnabled->setCheckState(p.enabled ? Qt::Checked : Qt::Unchecked);
        const bool bFitted = fit.IsOk();
        const PointResidual residual =
            bFitted ? fit.GetResiduals()[static_cast<std::size_t>(nRow)] : PointResidual{};
        SetCell(nRow, kColumnResidual, bFitted ? Metres(residual.lengthM, 3) : QString(), false);
        SetCell(nRow, kColumnLeaveOneOut, bFitted ? Metres(residual.leaveOneOutM, 3) : QString(),
                false);
        const bool bWorst = fit.GetWorst() == nRow;
        // Only the worst row carries a background and a font of its own.
        for (int nColumn = 0; nColumn < kColumns; ++nColumn) {
            QTableWidgetItem* pItem = m_pTable->item(nRow, nColumn);
            if (bWorst) {
                pItem->setBackground(QBrush(QColor(QRgb(kWorstRowColor))));
                QFont font = pItem->font();
                font.setBold(true);
                pItem->setFont(font);
            } else if (pItem->data(Qt::FontRole).isValid()) {
                pItem->setData(Qt::BackgroundRole, QVariant());
                pItem->setData(Qt::FontRole, QVariant());
            }
        }
    }
    pHeader->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (m_view.SelectedControlPoint() < nRows) {
        m_pTable->setCurrentCell(m_view.SelectedControlPoint(),
                                 m_view.SelectedControlPoint() < 0 ? -1 : kColumnNumber);
    }

    if (fit.IsOk()) {
        const int nWidth = m_doc.GetMapWidth();
        const int nHeight = m_doc.GetMapHeight();
        const CCalibration& current = m_doc.GetCalibration();
        const double deviceError =
            CalibrationDeviceError(CalibrationOfFit(fit.GetTransform(), current.coordType,
                                                    current.zone, current.letter, nWidth, nHeight),
                                   nWidth, nHeight);
        m_pSummary->setText(AppString(IDS_POINTS_SUMMARY)
                                .arg(Metres(fit.GetRmsM(), 3),
                                     fit.GetWorst() < 0 ? AppString(IDS_POINTS_NONE)
                                                        : QString::number(fit.GetWorst() + 1),
                                     Metres(deviceError, 1)));
    } else {
        m_pSummary->setText(AppString(fit.GetStatus() == CPointFit::Status::TooFewPoints
                                          ? IDS_POINTS_TOO_FEW
                                          : IDS_POINTS_DEGENERATE));
    }
    m_bFilling = false;
}

void CControlPointsDock::OnUnitsChanged() {
    if (m_bFilling) {
        return;
    }
    int nZone = 0;
    char letter = 0;
    ParseUtmZoneText(m_pZone->text().trimmed().toUpper().toStdString(), nZone, letter);
    const bool bUtm = m_pUtm->isChecked();
    if (bUtm && m_pZone->text().trimmed().isEmpty()) {
        // UTM just chosen: the zone is typed next.
        m_pZone->setEnabled(true);
        m_pZone->setFocus();
        return;
    }
    if (!m_doc.ChangePointsKind(bUtm ? CoordType::Utm : CoordType::LatLon, nZone, letter)) {
        Refresh();
    }
}

void CControlPointsDock::OnItemChanged(QTableWidgetItem* pItem) {
    if (m_bFilling || pItem == nullptr) {
        return;
    }
    const int nRow = pItem->row();
    std::vector<ControlPoint> points = m_doc.GetControlPoints();
    if (nRow < 0 || nRow >= static_cast<int>(points.size())) {
        return;
    }
    ControlPoint& point = points[static_cast<std::size_t>(nRow)];
    const bool bUtm = m_doc.GetCalibration().IsUtm();
    const std::string text = pItem->text().trimmed().toStdString();
    unsigned nStep = 0;
    bool bValid = true;
    switch (pItem->column()) {
    case kColumnX:
    case kColumnY: {
        const double value = ReadDoubleField(text);
        const int nLimit = pItem->column() == kColumnX ? m_doc.GetMapWidth() : m_doc.GetMapHeight();
        bValid = value >= 0.0 && value < nLimit; // NaN fails too
        (pItem->column() == kColumnX ? point.picture.x : point.picture.y) = value;
        nStep = IDS_UNDO_MOVE_POINT;
        break;
    }
    case kColumnWorld1:
    case kColumnWorld2: {
        const bool bFirst = pItem->column() == kColumnWorld1;
        const double value = bUtm ? ReadDoubleField(text) : ParseAngle(text);
        // Latitude in the first column, longitude in the second.
        const double limit = bUtm ? 1e8 : bFirst ? 90.0 : 180.0;
        bValid = std::abs(value) <= limit;
        double& target = bFirst == bUtm ? point.world.x : point.world.y;
        target = value;
        nStep = IDS_UNDO_EDIT_POINT;
        break;
    }
    case kColumnEnabled:
        point.enabled = pItem->checkState() == Qt::Checked;
        nStep = point.enabled ? IDS_UNDO_ENABLE_POINT : IDS_UNDO_DISABLE_POINT;
        break;
    default:
        return;
    }
    if (!bValid || points == m_doc.GetControlPoints()) {
        // Back to the value the document holds.
        Refresh();
        return;
    }
    m_doc.ChangeControlPoints(std::move(points), FormatString1(nStep, std::to_string(nRow + 1)));
}

} // namespace mapreg
