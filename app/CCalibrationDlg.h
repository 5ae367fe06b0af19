#pragma once
// The modal "Calibration Mark Coordinates" dialog: the world coordinates (latitude/longitude,
// or UTM easting/northing with a zone) and the picture position of each of the three marks.
// OK hands them to the document's Calibrate and closes only when the calibration was accepted
// and committed; a rejection names the field to correct. While the dialog is open, a changed X
// or Y field moves its mark on the map; Cancel puts the marks back. Beneath each world field
// the dialog shows, as the user types, what OK would read it as: decimal degrees with the
// hemisphere, for UTM the latitude and longitude that the mark's easting, northing and zone give.

#include "app/ControlIds.h"
#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

#include <QDialog>
#include <QPoint>
#include <QString>

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace mapreg {

class CGpsDoc;
class ICalibrationView;

class CCalibrationDlg : public QDialog {
    Q_OBJECT
public:
    // The document receives the calibration on OK and is asked whether calibration mode is
    // still on before a mark is moved; its prompt service shows the rejection messages.
    explicit CCalibrationDlg(CGpsDoc& doc, QWidget* pParent = nullptr);

    // Values shown when the dialog opens. World points
    // are (longitude, latitude) or (easting, northing) and are shown in nLatLonFormat (0..2) or
    // as UTM in zone nZoneNumber/cZoneLetter; picturePoints are the marks' pixel positions,
    // which Cancel restores; nWidth and nHeight the picture size the X and Y fields are held
    // to. pView may be null (no marks are moved then); it must outlive the dialog.
    void SetData(CoordType coordType, int nLatLonFormat,
                 const std::array<CDoublePoint, 3>& worldPoints,
                 const std::array<QPoint, 3>& picturePoints, int nZoneNumber, char cZoneLetter,
                 int nWidth, int nHeight, ICalibrationView* pView);

    // QDialog::Accepted only after the calibration was accepted and committed to the document.
    int DoModal();

    // The coordinate type as the radio buttons stand.
    CoordType GetCoordMode() const { return m_coordMode; }

    // OK: reads and checks the fields, calibrates, and closes only on success.
    void accept() override;
    // Cancel, Escape or closing the window: puts the marks back, then closes.
    void reject() override;

protected:
    void showEvent(QShowEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    // Picture fields in the order X1, Y1, X2, Y2, X3, Y3: field 2k is mark k's X, 2k+1 its Y.
    static constexpr int kPixelFields = 6;

    void OnInitDialog();
    void ApplyLatLonMode();
    void ApplyUtmMode();
    void SwapWorldTexts();
    void UpdateRadioTabStop();
    // Shows beneath each world field what the field is read as.
    void UpdateReadAs();
    // The field lost the focus: when it was edited, clamp, write back and move the mark.
    void OnPixelFieldLeft(int nField);
    // Reads the field as a whole number held to the picture and writes it back as read.
    int ClampPixelField(int nField);
    void MoveMarkFromFields(int nMark);
    QLineEdit* FocusTarget(int nMark, int nField) const;
    static void FocusAndSelect(QLineEdit* pEdit);

    CGpsDoc& m_doc;

    QLineEdit* m_pLatitude[3] = {};  // latitude or northing
    QLineEdit* m_pLongitude[3] = {}; // longitude or easting
    QLineEdit* m_pPixel[kPixelFields] = {};
    QLabel* m_pReadLatitude[3] = {};
    QLabel* m_pReadLongitude[3] = {};
    QLineEdit* m_pZone = nullptr;
    QLabel* m_pZoneLabel = nullptr;
    QLabel* m_pHeadingLatitude = nullptr;
    QLabel* m_pHeadingLongitude = nullptr;
    QRadioButton* m_pLatLon = nullptr;
    QRadioButton* m_pUtm = nullptr;

    CoordType m_coordMode = CoordType::LatLon;
    // What the world fields showed in the mode that is not shown now.
    QString m_strOtherLongitude[3];
    QString m_strOtherLatitude[3];
    QString m_strInitX[3];
    QString m_strInitY[3];
    QString m_strInitLongitude[3];
    QString m_strInitLatitude[3];
    int m_nUtmZone = 10;
    char m_cUtmLetter = 'U';
    std::array<QPoint, 3> m_ptStart{};
    int m_nWidth = 1;
    int m_nHeight = 1;
    ICalibrationView* m_pView = nullptr;

    bool m_bInitialized = false;
    // Set while the dialog closes, so that the fields losing the focus move no mark.
    bool m_bClosing = false;
};

} // namespace mapreg
