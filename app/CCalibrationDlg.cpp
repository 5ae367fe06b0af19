#include "app/CCalibrationDlg.h"

#include "app/AppStrings.h"
#include "app/ICalibrationView.h"
#include "coords/AngleParser.h"
#include "coords/CLatLonFormatter.h"
#include "coords/CUtmConverter.h"
#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"
#include "document/CGpsDoc.h"
#include "framework/CUserPrompt.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>
#include <string>

namespace mapreg {

namespace {

// Field ids by mark, in the order the rows are laid out.
constexpr int kLatitudeIds[3] = {IDC_LATITUDE_1, IDC_LATITUDE_2, IDC_LATITUDE_3};
constexpr int kLongitudeIds[3] = {IDC_LONGITUDE_1, IDC_LONGITUDE_2, IDC_LONGITUDE_3};
constexpr int kXIds[3] = {IDC_X_1, IDC_X_2, IDC_X_3};
constexpr int kYIds[3] = {IDC_Y_1, IDC_Y_2, IDC_Y_3};
constexpr unsigned kRowLabels[3] = {IDS_CALIB_ROW_1, IDS_CALIB_ROW_2, IDS_CALIB_ROW_3};
constexpr int kReadLatitudeIds[3] = {IDC_READ_LATITUDE_1, IDC_READ_LATITUDE_2, IDC_READ_LATITUDE_3};
constexpr int kReadLongitudeIds[3] = {IDC_READ_LONGITUDE_1, IDC_READ_LONGITUDE_2,
                                      IDC_READ_LONGITUDE_3};

// World fields are 70 dialog units wide, the X, Y and zone fields 30. A horizontal dialog unit
// is a quarter of the font's average character width.
constexpr int kWorldFieldUnits = 70;
constexpr int kPixelFieldUnits = 30;

QLineEdit* MakeEdit(int nControlId, int nWidth, QWidget* pParent) {
    auto* pEdit = new QLineEdit(pParent);
    pEdit->setObjectName(ControlName(nControlId));
    pEdit->setFixedWidth(nWidth);
    return pEdit;
}

QLabel* MakeReadAs(int nControlId, QWidget* pParent) {
    auto* pLabel = new QLabel(pParent);
    pLabel->setObjectName(ControlName(nControlId));
    pLabel->setToolTip(AppString(IDS_CALIB_READ_AS_TIP));
    return pLabel;
}

// An angle in decimal degrees with its hemisphere, as OK would take it.
QString DegreesText(double value, bool bLongitude) {
    CLatLonFormatter formatter;
    formatter.SetLatLonFormat(CLatLonFormatter::FORMAT_DEGREES);
    std::string text;
    formatter.FormatAngle(text, value, bLongitude);
    return QString::fromStdString(text);
}

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToStd(const QLineEdit* pEdit) {
    return pEdit->text().toStdString();
}

} // namespace

CCalibrationDlg::CCalibrationDlg(CGpsDoc& doc, QWidget* pParent) : QDialog(pParent), m_doc(doc) {
    setWindowTitle(AppString(IDS_CALIB_CAPTION));
    setObjectName(QStringLiteral("dialog135"));

    const int nCharWidth = QFontMetrics(font()).averageCharWidth();
    const int nWorldWidth = kWorldFieldUnits * nCharWidth / 4;
    const int nPixelWidth = kPixelFieldUnits * nCharWidth / 4;

    auto* pMarkGroup = new QGroupBox(AppString(IDS_CALIB_LOCATIONS_GROUP), this);
    m_pHeadingLatitude = new QLabel(AppString(IDS_LATITUDE), pMarkGroup);
    m_pHeadingLatitude->setObjectName(ControlName(IDC_HEADING_LATITUDE));
    m_pHeadingLongitude = new QLabel(AppString(IDS_LONGITUDE), pMarkGroup);
    m_pHeadingLongitude->setObjectName(ControlName(IDC_HEADING_LONGITUDE));
    auto* pHeadingX = new QLabel(AppString(IDS_CALIB_COLUMN_X), pMarkGroup);
    auto* pHeadingY = new QLabel(AppString(IDS_CALIB_COLUMN_Y), pMarkGroup);

    auto* pMarkGrid = new QGridLayout(pMarkGroup);
    pMarkGrid->addWidget(m_pHeadingLatitude, 0, 1);
    pMarkGrid->addWidget(m_pHeadingLongitude, 0, 2);
    pMarkGrid->addWidget(pHeadingX, 0, 3);
    pMarkGrid->addWidget(pHeadingY, 0, 4);
    for (int k = 0; k < 3; ++k) {
        auto* pRow = new QLabel(AppString(kRowLabels[k]), pMarkGroup);
        m_pLatitude[k] = MakeEdit(kLatitudeIds[k], nWorldWidth, pMarkGroup);
        m_pLongitude[k] = MakeEdit(kLongitudeIds[k], nWorldWidth, pMarkGroup);
        m_pPixel[2 * k] = MakeEdit(kXIds[k], nPixelWidth, pMarkGroup);
        m_pPixel[2 * k + 1] = MakeEdit(kYIds[k], nPixelWidth, pMarkGroup);
        // The row's mnemonic reaches the first field of the row.
        pRow->setBuddy(m_pLatitude[k]);
        pMarkGrid->addWidget(pRow, 2 * k + 1, 0);
        pMarkGrid->addWidget(m_pLatitude[k], 2 * k + 1, 1);
        pMarkGrid->addWidget(m_pLongitude[k], 2 * k + 1, 2);
        pMarkGrid->addWidget(m_pPixel[2 * k], 2 * k + 1, 3);
        pMarkGrid->addWidget(m_pPixel[2 * k + 1], 2 * k + 1, 4);
        m_pReadLatitude[k] = MakeReadAs(kReadLatitudeIds[k], pMarkGroup);
        m_pReadLongitude[k] = MakeReadAs(kReadLongitudeIds[k], pMarkGroup);
        pMarkGrid->addWidget(m_pReadLatitude[k], 2 * k + 2, 1);
        pMarkGrid->addWidget(m_pReadLongitude[k], 2 * k + 2, 2);
        for (QLineEdit* pEdit : {m_pLatitude[k], m_pLongitude[k]}) {
            connect(pEdit, &QLineEdit::textChanged, this, &CCalibrationDlg::UpdateReadAs);
        }
    }
    for (auto* pEdit : m_pPixel) {
        pEdit->installEventFilter(this);
    }

    m_pZoneLabel = new QLabel(AppString(IDS_CALIB_ZONE), this);
    m_pZoneLabel->setObjectName(ControlName(IDC_ZONE_LABEL));
    m_pZone = MakeEdit(IDC_ZONE, nPixelWidth, this);
    m_pZoneLabel->setBuddy(m_pZone);
    connect(m_pZone, &QLineEdit::textChanged, this, &CCalibrationDlg::UpdateReadAs);
    auto* pZoneRow = new QHBoxLayout;
    pZoneRow->addWidget(m_pZoneLabel);
    pZoneRow->addWidget(m_pZone);
    pZoneRow->addStretch();

    auto* pOk = new QPushButton(AppString(IDS_BUTTON_OK), this);
    pOk->setObjectName(ControlName(IDOK));
    pOk->setDefault(true);
    auto* pCancel = new QPushButton(AppString(IDS_BUTTON_CANCEL), this);
    pCancel->setObjectName(ControlName(IDCANCEL));
    connect(pOk, &QPushButton::clicked, this, &CCalibrationDlg::accept);
    connect(pCancel, &QPushButton::clicked, this, &CCalibrationDlg::reject);

    auto* pUnitsGroup = new QGroupBox(AppString(IDS_CALIB_UNITS_GROUP), this);
    m_pLatLon = new QRadioButton(AppString(IDS_CALIB_LATLON), pUnitsGroup);
    m_pLatLon->setObjectName(ControlName(IDC_LATLON));
    m_pUtm = new QRadioButton(AppString(IDS_CALIB_UTM), pUnitsGroup);
    m_pUtm->setObjectName(ControlName(IDC_UTM));
    auto* pUnitsLayout = new QVBoxLayout(pUnitsGroup);
    pUnitsLayout->addWidget(m_pLatLon);
    pUnitsLayout->addWidget(m_pUtm);
    // A button becomes checked by click, mnemonic or arrow key; each way lands here.
    connect(m_pLatLon, &QRadioButton::toggled, this, [this](bool bChecked) {
        if (bChecked) {
            ApplyLatLonMode();
        }
        UpdateRadioTabStop();
    });
    connect(m_pUtm, &QRadioButton::toggled, this, [this](bool bChecked) {
        if (bChecked) {
            ApplyUtmMode();
        }
        UpdateRadioTabStop();
    });

    auto* pRight = new QVBoxLayout;
    pRight->addWidget(pOk);
    pRight->addWidget(pCancel);
    pRight->addWidget(pUnitsGroup);
    pRight->addStretch();

    auto* pLeft = new QVBoxLayout;
    pLeft->addWidget(pMarkGroup);
    pLeft->addLayout(pZoneRow);
    pLeft->addStretch();

    auto* pMain = new QHBoxLayout(this);
    pMain->addLayout(pLeft);
    pMain->addLayout(pRight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order: row by row latitude, longitude, X, Y; the zone; OK, Cancel; the radio buttons.
    QWidget* pPrevious = nullptr;
    auto chain = [&pPrevious](QWidget* pNext) {
        if (pPrevious != nullptr) {
            setTabOrder(pPrevious, pNext);
        }
        pPrevious = pNext;
    };
    for (int k = 0; k < 3; ++k) {
        chain(m_pLatitude[k]);
        chain(m_pLongitude[k]);
        chain(m_pPixel[2 * k]);
        chain(m_pPixel[2 * k + 1]);
    }
    chain(m_pZone);
    chain(pOk);
    chain(pCancel);
    chain(m_pLatLon);
    chain(m_pUtm);
}

void CCalibrationDlg::SetData(CoordType coordType, int nLatLonFormat,
                              const std::array<CDoublePoint, 3>& worldPoints,
                              const std::array<QPoint, 3>& picturePoints, int nZoneNumber,
                              char cZoneLetter, int nWidth, int nHeight, ICalibrationView* pView) {
    m_coordMode = coordType;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_pView = pView;

    std::string strX;
    std::string strY;
    for (int k = 0; k < 3; ++k) {
        strX.clear();
        strY.clear();
        if (coordType == CoordType::LatLon) {
            CLatLonFormatter latLon;
            latLon.SetLatLonFormat(nLatLonFormat);
            latLon.SetLatLon(worldPoints[k].y, worldPoints[k].x);
            latLon.FormatXY(strX, strY);
        } else if (coordType == CoordType::Utm) {
            CUtmConverter utm;
            utm.SetUtm(nZoneNumber, cZoneLetter, worldPoints[k].x, worldPoints[k].y);
            utm.FormatXY(strX, strY);
        }
        m_strInitLongitude[k] = ToQString(strX);
        m_strInitLatitude[k] = ToQString(strY);
        m_strInitX[k] = QString::number(picturePoints[k].x());
        m_strInitY[k] = QString::number(picturePoints[k].y());
    }
    m_ptStart = picturePoints;
    m_nUtmZone = nZoneNumber;
    m_cUtmLetter = cZoneLetter;
}

int CCalibrationDlg::DoModal() {
    return exec();
}

void CCalibrationDlg::showEvent(QShowEvent* pEvent) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}

void CCalibrationDlg::OnInitDialog() {
    {
        // The mode is applied here directly; checking the buttons must not apply it again.
        const QSignalBlocker blockLatLon(m_pLatLon);
        const QSignalBlocker blockUtm(m_pUtm);
        if (m_coordMode == CoordType::Utm) {
            ApplyUtmMode();
            m_pUtm->setChecked(true);
            m_pLatLon->setChecked(false);
        } else {
            ApplyLatLonMode();
            m_pLatLon->setChecked(true);
            m_pUtm->setChecked(false);
        }
    }
    UpdateRadioTabStop();

    for (int k = 0; k < 3; ++k) {
        m_pPixel[2 * k]->setText(m_strInitX[k]);
        m_pPixel[2 * k + 1]->setText(m_strInitY[k]);
        m_pLongitude[k]->setText(m_strInitLongitude[k]);
        m_pLatitude[k]->setText(m_strInitLatitude[k]);
    }
    // The zone with at least two digits, then the letter: 10U, 05D.
    QString strZone = QStringLiteral("%1").arg(m_nUtmZone, 2, 10, QLatin1Char('0'));
    if (m_cUtmLetter != '\0') {
        strZone += QLatin1Char(m_cUtmLetter);
    }
    m_pZone->setText(strZone);

    for (int k = 0; k < 3; ++k) {
        m_pLatitude[k]->setModified(false);
        m_pLongitude[k]->setModified(false);
    }
    FocusAndSelect(m_pLatitude[0]);
}

void CCalibrationDlg::ApplyLatLonMode() {
    m_pZone->setEnabled(false);
    m_pZoneLabel->setEnabled(true);
    m_pHeadingLongitude->setText(AppString(IDS_LONGITUDE));
    m_pHeadingLatitude->setText(AppString(IDS_LATITUDE));
    if (m_coordMode == CoordType::Utm) {
        SwapWorldTexts();
    }
    m_coordMode = CoordType::LatLon;
    UpdateReadAs();
}

void CCalibrationDlg::ApplyUtmMode() {
    m_pZone->setEnabled(true);
    m_pZoneLabel->setEnabled(true);
    m_pHeadingLongitude->setText(AppString(IDS_EASTING));
    m_pHeadingLatitude->setText(AppString(IDS_NORTHING));
    if (m_coordMode == CoordType::LatLon) {
        SwapWorldTexts();
    }
    m_coordMode = CoordType::Utm;
    UpdateReadAs();
}

void CCalibrationDlg::UpdateRadioTabStop() {
    // Tab reaches the pair of radio buttons at the checked one; the arrow keys move between them.
    for (QRadioButton* pButton : {m_pLatLon, m_pUtm}) {
        pButton->setFocusPolicy(pButton->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void CCalibrationDlg::SwapWorldTexts() {
    // No conversion: each mode keeps what was typed in it.
    for (int k = 0; k < 3; ++k) {
        const QString strLongitude = m_pLongitude[k]->text();
        const QString strLatitude = m_pLatitude[k]->text();
        m_pLongitude[k]->setText(m_strOtherLongitude[k]);
        m_pLatitude[k]->setText(m_strOtherLatitude[k]);
        m_strOtherLongitude[k] = strLongitude;
        m_strOtherLatitude[k] = strLatitude;
    }
}

void CCalibrationDlg::UpdateReadAs() {
    // A mode switch swaps the texts before it sets the mode, then comes here once more.
    const bool bUtm = m_coordMode == CoordType::Utm;
    int nZone = 0;
    char cLetter = 0;
    ParseUtmZoneText(ToStd(m_pZone), nZone, cLetter);
    const bool bZoneValid = nZone >= 1 && nZone <= 60 && IsValidUtmLetter(cLetter);
    for (int k = 0; k < 3; ++k) {
        double latitude = std::nan("");
        double longitude = std::nan("");
        if (!bUtm) {
            latitude = ParseAngle(ToStd(m_pLatitude[k]));
            longitude = ParseAngle(ToStd(m_pLongitude[k]));
        } else if (bZoneValid) {
            CUtmConverter utm;
            utm.SetUtm(nZone, cLetter, ReadDoubleField(ToStd(m_pLongitude[k])),
                       ReadDoubleField(ToStd(m_pLatitude[k])));
            utm.GetLatLon(latitude, longitude);
        }
        m_pReadLatitude[k]->setText(DegreesText(latitude, false));
        m_pReadLongitude[k]->setText(DegreesText(longitude, true));
    }
}

bool CCalibrationDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::FocusOut && !m_bClosing) {
        for (int nField = 0; nField < kPixelFields; ++nField) {
            if (pWatched == m_pPixel[nField]) {
                OnPixelFieldLeft(nField);
                break;
            }
        }
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CCalibrationDlg::OnPixelFieldLeft(int nField) {
    QLineEdit* pEdit = m_pPixel[nField];
    if (!pEdit->isModified()) {
        return;
    }
    ClampPixelField(nField);
    MoveMarkFromFields(nField / 2);
    pEdit->setModified(false);
}

int CCalibrationDlg::ClampPixelField(int nField) {
    QLineEdit* pEdit = m_pPixel[nField];
    const int nLimit = (nField % 2 == 0) ? m_nWidth : m_nHeight;
    int nValue = ReadIntField(ToStd(pEdit));
    if (nValue < 0) {
        nValue = 0;
    }
    if (nValue >= nLimit) {
        nValue = nLimit > 0 ? nLimit - 1 : 0;
    }
    // setText clears the modified flag; the caller decides what the edit means first.
    const bool bModified = pEdit->isModified();
    pEdit->setText(QString::number(nValue));
    pEdit->setModified(bModified);
    return nValue;
}

void CCalibrationDlg::MoveMarkFromFields(int nMark) {
    if (m_pView == nullptr || !m_doc.IsCalibrationMode()) {
        return;
    }
    const QPoint pt(ReadIntField(ToStd(m_pPixel[2 * nMark])),
                    ReadIntField(ToStd(m_pPixel[2 * nMark + 1])));
    m_pView->SetMarkPosition(nMark, pt, 1);
}

void CCalibrationDlg::accept() {
    // The zone: every letter is taken out, the last one is the letter, the rest the number.
    CCalibration calibration{.coordType = m_coordMode, .zone = 10, .letter = 'U'};
    if (calibration.IsUtm()) {
        ParseUtmZoneText(ToStd(m_pZone), calibration.zone, calibration.letter);
    }

    // The picture positions are held to the picture as leaving a field holds them, so that a
    // value typed and confirmed at once with Enter is not committed outside the picture.
    std::array<CDoublePoint, 3>& picture = calibration.picture;
    for (int nField = 0; nField < kPixelFields; ++nField) {
        const bool bModified = m_pPixel[nField]->isModified();
        const int nValue = ClampPixelField(nField);
        if (bModified) {
            MoveMarkFromFields(nField / 2);
            m_pPixel[nField]->setModified(false);
        }
        if (nField % 2 == 0) {
            picture[nField / 2].x = static_cast<double>(nValue);
        } else {
            picture[nField / 2].y = static_cast<double>(nValue);
        }
    }

    std::array<CDoublePoint, 3>& world = calibration.world;
    for (int k = 0; k < 3; ++k) {
        const std::string strLongitude = ToStd(m_pLongitude[k]);
        const std::string strLatitude = ToStd(m_pLatitude[k]);
        if (!calibration.IsUtm()) {
            world[k].x = ParseAngle(strLongitude);
            world[k].y = ParseAngle(strLatitude);
        } else {
            world[k].x = ReadDoubleField(strLongitude);
            world[k].y = ReadDoubleField(strLatitude);
        }
    }

    const CalibrationCheckResult result = m_doc.Calibrate(calibration);
    const int nCode = result.code;
    if (nCode == CALIBRATION_OK) {
        m_bClosing = true;
        QDialog::accept();
        return;
    }

    const unsigned nMessage = CalibrationMessageId(nCode);
    if (nMessage != 0) {
        m_doc.Prompt().MessageBoxId(nMessage, MsgIcon::Exclamation);
    }
    QLineEdit* pTarget =
        (nCode == CALIBRATION_INVALID_ZONE) ? m_pZone : FocusTarget(result.mark, result.field);
    if (pTarget != nullptr) {
        FocusAndSelect(pTarget);
    }
}

void CCalibrationDlg::reject() {
    m_bClosing = true;
    if (m_pView != nullptr) {
        for (int k = 0; k < 3; ++k) {
            m_pView->SetMarkPosition(k, m_ptStart[k], 0);
        }
    }
    QDialog::reject();
}

QLineEdit* CCalibrationDlg::FocusTarget(int nMark, int nField) const {
    if (nMark < 0 || nMark > 2) {
        return nullptr;
    }
    switch (nField) {
    case FIELD_PICTURE_X:
        return m_pPixel[2 * nMark];
    case FIELD_PICTURE_Y:
        return m_pPixel[2 * nMark + 1];
    case FIELD_WORLD_X:
        return m_pLongitude[nMark];
    case FIELD_WORLD_Y:
        return m_pLatitude[nMark];
    default:
        return nullptr;
    }
}

void CCalibrationDlg::FocusAndSelect(QLineEdit* pEdit) {
    pEdit->setFocus(Qt::OtherFocusReason);
    // Selecting everything leaves the caret at the end, which scrolls it into view.
    pEdit->selectAll();
}

} // namespace mapreg
