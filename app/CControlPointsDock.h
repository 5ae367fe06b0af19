#pragma once
// The docked table of the document's control points: number, picture x and y, world point (in
// any latitude/longitude layout, or easting and northing on a UTM map), enabled, residual and
// leave-one-out residual in metres; below it the fit's RMS, worst point and device error. The
// worst point's row is highlighted. Every edit is one undo step of the document; the table
// follows the document through its update hints and shares the selection with the map view.
// On a map not yet calibrated a row above the table chooses the points' units: latitude/
// longitude, or UTM in a zone typed like the calibration dialog's ("33U").

#include "framework/CView.h"

#include <QDockWidget>

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

namespace mapreg {

class CGpsDoc;
class CGpsView;

class CControlPointsDock : public QDockWidget, public CView {
    Q_OBJECT
public:
    enum Column {
        kColumnNumber,
        kColumnX,
        kColumnY,
        kColumnWorld1, // latitude, or easting on a UTM map
        kColumnWorld2, // longitude, or northing
        kColumnEnabled,
        kColumnResidual,
        kColumnLeaveOneOut,
        kColumns
    };
    // Background of the worst point's row.
    static constexpr unsigned kWorstRowColor = 0xFFC8C8;

    // pApply is the frame's Apply command, shown as a button under the table.
    CControlPointsDock(CGpsDoc& doc, CGpsView& view, QAction* pApply, QWidget* pParent = nullptr);
    ~CControlPointsDock() override;
    CControlPointsDock(const CControlPointsDock&) = delete;
    CControlPointsDock& operator=(const CControlPointsDock&) = delete;

    void OnUpdate(CDocument* pSender, int nHint) override;
    // Fills the table and the summary from the document.
    void Refresh();

    // The width that shows every column of the table.
    int PreferredWidth() const;

    QTableWidget* Table() const { return m_pTable; }
    // The units of an uncalibrated map's points, shown only while the map is uncalibrated.
    QWidget* Units() const { return m_pUnits; }
    QLabel* Summary() const { return m_pSummary; }

private:
    // An edited cell: the point changed as one undo step, or the old value back when the text
    // cannot be read.
    void OnItemChanged(QTableWidgetItem* pItem);
    void SetCell(int nRow, int nColumn, const QString& text, bool bEditable);
    // The units chosen above the table: the document's, or the row as it was when the zone
    // typed does not exist.
    void OnUnitsChanged();

    CGpsDoc& m_doc;
    CGpsView& m_view;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pSummary = nullptr;
    QToolButton* m_pApply = nullptr;
    QWidget* m_pUnits = nullptr;
    QRadioButton* m_pLatLon = nullptr;
    QRadioButton* m_pUtm = nullptr;
    QLineEdit* m_pZone = nullptr;
    bool m_bFilling = false;
};

} // namespace mapreg
