#pragma once
// The modal "Display Format" dialog: the user picks the coordinate type, the latitude/longitude
// text layout and the unit system; an example line shows the chosen layout. The dialog only
// keeps its three values; the caller reads them back after OK.

#include "georef/CCalibration.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace mapreg {

class CDisplayFormatDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDisplayFormatDlg(QWidget* pParent = nullptr);

    // Values shown when the dialog opens: coordinate type 0 lat/lon or 1 UTM, lat/lon format
    // 0..2, unit type 0 nautical, 1 statute, 2 metric.
    void SetData(CoordType coordType, int nLatLonFormat, int nUnitType);
    void GetData(CoordType& coordType, int& nLatLonFormat, int& nUnitType) const;

    // Runs the dialog modally; QDialog::Accepted (OK) or QDialog::Rejected (Cancel).
    int DoModal();

    QString ExampleText() const { return m_strExample; }

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void OnInitDialog();
    void OnCoordTypeChosen(CoordType coordType);
    void OnLatLonFormatChosen(int nLatLonFormat);
    void EnableFormatButtons(bool bEnable);
    void UpdateExample();

    QString m_strExample;
    CoordType m_coordType = CoordType::LatLon;
    int m_nLatLonFormat = 2;
    int m_nUnitType = 0;
    bool m_bInitialized = false;

    QRadioButton* m_pLatLon = nullptr;
    QRadioButton* m_pUtm = nullptr;
    QGroupBox* m_pFormatGroup = nullptr;
    QRadioButton* m_pFormat[3] = {};
    QRadioButton* m_pUnit[3] = {}; // by unit type: nautical, statute, metric
    QLabel* m_pExample = nullptr;
};

} // namespace mapreg
