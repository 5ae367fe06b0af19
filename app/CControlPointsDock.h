#pragma once
// The docked table of the document's control points: number, picture x and y, world point (in
// any latitude/longitude layout, or easting and northing on a UTM map), enabled, residual and
// leave-one-out residual in metres; below it the fit's RMS, worst point and device error. The
// worst point's row is highlighted. Every edit is one undo step of the document; the table
// follows the document through its update hints and shares the selection with the map view.

#include "CView.h"

#include <QDockWidget>

class CGpsDoc;
class CGpsView;
class QAction;
class QLabel;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

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
    QLabel* Summary() const { return m_pSummary; }

private:
    // An edited cell: the point changed as one undo step, or the old value back when the text
    // cannot be read.
    void OnItemChanged(QTableWidgetItem* pItem);
    void SetCell(int nRow, int nColumn, const QString& text, bool bEditable);

    CGpsDoc& m_doc;
    CGpsView& m_view;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pSummary = nullptr;
    QToolButton* m_pApply = nullptr;
    bool m_bFilling = false;
};
