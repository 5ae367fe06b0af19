#include "app/CAboutDlg.h"

#include "MapregVersion.h"
#include "app/AppStrings.h"
#include "app/CToolbarArt.h"
#include "app/ControlIds.h"
#include "resources/StringTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace mapreg {

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
    setObjectName(QStringLiteral("dialog100"));
    // The caption is the window title field of the document template string.
    setWindowTitle(AppString(IDR_MAINFRAME).section(QLatin1Char('\n'), 0, 0));

    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(CToolbarArt::AppIconImage(32));
    auto* pName = new QLabel(AppString(AFX_IDS_APP_TITLE), this);
    auto* pVersion =
        new QLabel(AppFormatString1(IDS_ABOUT_VERSION, QStringLiteral(MAPREG_VERSION)), this);
    pVersion->setObjectName(QStringLiteral("version"));
    auto* pOk = new QPushButton(AppString(IDS_BUTTON_OK), this);
    pOk->setObjectName(ControlName(IDOK));
    pOk->setDefault(true);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pGrid = new QGridLayout(this);
    pGrid->addWidget(pIcon, 0, 0, 2, 1, Qt::AlignTop);
    pGrid->addWidget(pName, 0, 1);
    pGrid->addWidget(pVersion, 1, 1);
    pGrid->addWidget(pOk, 0, 2, Qt::AlignTop);
    pGrid->setColumnStretch(1, 1);
    pGrid->setHorizontalSpacing(16);
}

} // namespace mapreg
