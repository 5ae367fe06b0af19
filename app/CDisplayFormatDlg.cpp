#include "app/CDisplayFormatDlg.h"

#include "app/AppStrings.h"
#include "app/ControlIds.h"
#include "resources/StringTable.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mapreg {

namespace {

// Keyboard reach as in any dialog with radio button groups: Tab stops at the checked button of
// each group, the arrow keys move (and check) within a group, and a group's mnemonic focuses its
// checked button. Only the checked button of a group takes Tab.
void FollowCheckWithTabStop(QRadioButton* pButton) {
    pButton->setFocusPolicy(pButton->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

QRadioButton* MakeRadio(unsigned nTextId, int nControlId, QWidget* pParent) {
    auto* pButton = new QRadioButton(AppString(nTextId), pParent);
    pButton->setObjectName(ControlName(nControlId));
    FollowCheckWithTabStop(pButton);
    QObject::connect(pButton, &QAbstractButton::toggled, pButton,
                     [pButton] { FollowCheckWithTabStop(pButton); });
    return pButton;
}

} // namespace

CDisplayFormatDlg::CDisplayFormatDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(AppString(IDS_FORMAT_CAPTION));
    setObjectName(QStringLiteral("dialog138"));

    auto* pCoordGroup = new QGroupBox(AppString(IDS_FORMAT_COORDINATE_GROUP), this);
    m_pLatLon = MakeRadio(IDS_FORMAT_LATLON, IDC_LATLON, pCoordGroup);
    m_pUtm = MakeRadio(IDS_FORMAT_UTM, IDC_UTM, pCoordGroup);
    auto* pCoordLayout = new QVBoxLayout(pCoordGroup);
    pCoordLayout->addWidget(m_pLatLon);
    pCoordLayout->addWidget(m_pUtm);
    pCoordLayout->addStretch();

    m_pFormatGroup = new QGroupBox(AppString(IDS_FORMAT_LATLON_GROUP), this);
    m_pFormatGroup->setObjectName(ControlName(IDC_FORMAT_GROUP));
    m_pFormat[0] = MakeRadio(IDS_FORMAT_DEGREES, IDC_FORMAT_DEGREES, m_pFormatGroup);
    m_pFormat[1] = MakeRadio(IDS_FORMAT_MINUTES, IDC_FORMAT_MINUTES, m_pFormatGroup);
    m_pFormat[2] = MakeRadio(IDS_FORMAT_SECONDS, IDC_FORMAT_SECONDS, m_pFormatGroup);
    auto* pFormatLayout = new QVBoxLayout(m_pFormatGroup);
    for (auto* pButton : m_pFormat) {
        pFormatLayout->addWidget(pButton);
    }

    auto* pUnitGroup = new QGroupBox(AppString(IDS_FORMAT_UNITS_GROUP), this);
    m_pUnit[0] = MakeRadio(IDS_FORMAT_NAUTICAL, IDC_NAUTICAL, pUnitGroup);
    m_pUnit[1] = MakeRadio(IDS_FORMAT_STATUTE, IDC_STATUTE, pUnitGroup);
    m_pUnit[2] = MakeRadio(IDS_FORMAT_METRIC, IDC_METRIC, pUnitGroup);
    auto* pUnitLayout = new QVBoxLayout(pUnitGroup);
    for (auto* pButton : m_pUnit) {
        pUnitLayout->addWidget(pButton);
    }

    auto* pExampleLabel = new QLabel(AppString(IDS_FORMAT_EXAMPLE), this);
    m_pExample = new QLabel(this);
    m_pExample->setObjectName(ControlName(IDC_EXAMPLE));
    m_pExample->setTextFormat(Qt::PlainText);

    auto* pOk = new QPushButton(AppString(IDS_BUTTON_OK), this);
    pOk->setObjectName(ControlName(IDOK));
    pOk->setDefault(true);
    auto* pCancel = new QPushButton(AppString(IDS_BUTTON_CANCEL), this);
    pCancel->setObjectName(ControlName(IDCANCEL));
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pButtons->addStretch();

    auto* pGrid = new QGridLayout(this);
    pGrid->addWidget(pCoordGroup, 0, 0);
    pGrid->addWidget(m_pFormatGroup, 0, 1);
    pGrid->addWidget(pUnitGroup, 1, 0);
    pGrid->addLayout(pButtons, 1, 1);
    auto* pExampleRow = new QHBoxLayout;
    pExampleRow->addWidget(pExampleLabel);
    pExampleRow->addWidget(m_pExample, 1);
    pGrid->addLayout(pExampleRow, 2, 0, 1, 2);

    // Tab order: the three groups, then OK and Cancel. Unchecked buttons take no Tab.
    QWidget* const tabOrder[] = {m_pLatLon,  m_pUtm,     m_pFormat[0], m_pFormat[1], m_pFormat[2],
                                 m_pUnit[0], m_pUnit[1], m_pUnit[2],   pOk,          pCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    // One exclusive group per frame; a button chosen by click, mnemonic or arrow key lands here.
    auto* pCoordButtons = new QButtonGroup(this);
    pCoordButtons->addButton(m_pLatLon, CoordTypeNumber(CoordType::LatLon));
    pCoordButtons->addButton(m_pUtm, CoordTypeNumber(CoordType::Utm));
    connect(pCoordButtons, &QButtonGroup::idToggled, this, [this](int nId, bool bChecked) {
        if (bChecked) {
            OnCoordTypeChosen(CoordTypeOfNumber(nId).value_or(CoordType::LatLon));
        }
    });
    auto* pFormatButtons = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        pFormatButtons->addButton(m_pFormat[i], i);
    }
    connect(pFormatButtons, &QButtonGroup::idToggled, this, [this](int nId, bool bChecked) {
        if (bChecked) {
            OnLatLonFormatChosen(nId);
        }
    });
    auto* pUnitButtons = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        pUnitButtons->addButton(m_pUnit[i], i);
    }
    connect(pUnitButtons, &QButtonGroup::idToggled, this, [this](int nId, bool bChecked) {
        if (bChecked) {
            m_nUnitType = nId;
        }
    });
}

void CDisplayFormatDlg::SetData(CoordType coordType, int nLatLonFormat, int nUnitType) {
    m_coordType = coordType;
    m_nLatLonFormat = nLatLonFormat;
    m_nUnitType = nUnitType;
}

void CDisplayFormatDlg::GetData(CoordType& coordType, int& nLatLonFormat, int& nUnitType) const {
    coordType = m_coordType;
    nLatLonFormat = m_nLatLonFormat;
    nUnitType = m_nUnitType;
}

int CDisplayFormatDlg::DoModal() {
    return exec();
}

void CDisplayFormatDlg::showEvent(QShowEvent* pEvent) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}

void CDisplayFormatDlg::OnInitDialog() {
    // Checking the buttons here must not run the handlers: the stored values stay as given.
    const QSignalBlocker blockLatLon(m_pLatLon);
    const QSignalBlocker blockUtm(m_pUtm);

    const bool utm = m_coordType == CoordType::Utm;
    EnableFormatButtons(!utm);
    m_pLatLon->setChecked(!utm);
    m_pUtm->setChecked(utm);
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blockFormat(m_pFormat[i]);
        const QSignalBlocker blockUnit(m_pUnit[i]);
        // Exclusive groups refuse to uncheck their last checked button; only check here.
        if (m_nLatLonFormat == i) {
            m_pFormat[i]->setChecked(true);
        }
        if (m_nUnitType == i) {
            m_pUnit[i]->setChecked(true);
        }
    }
    // The checks above ran with signals blocked: give the checked buttons their tab stop here.
    for (QRadioButton* pButton : findChildren<QRadioButton*>()) {
        FollowCheckWithTabStop(pButton);
    }
    (utm ? m_pUtm : m_pLatLon)->setFocus(Qt::OtherFocusReason);
    UpdateExample();
}

void CDisplayFormatDlg::OnCoordTypeChosen(CoordType coordType) {
    m_coordType = coordType;
    EnableFormatButtons(coordType == CoordType::LatLon);
    UpdateExample();
}

void CDisplayFormatDlg::OnLatLonFormatChosen(int nLatLonFormat) {
    m_nLatLonFormat = nLatLonFormat;
    UpdateExample();
}

void CDisplayFormatDlg::EnableFormatButtons(bool bEnable) {
    // The group box takes its three buttons with it.
    m_pFormatGroup->setEnabled(bEnable);
}

void CDisplayFormatDlg::UpdateExample() {
    static constexpr unsigned kFormatExamples[3] = {IDS_SAMPLE_DEGREES, IDS_SAMPLE_MINUTES,
                                                    IDS_SAMPLE_SECONDS};
    if (m_coordType == CoordType::Utm) {
        m_strExample = AppString(IDS_SAMPLE_UTM);
    } else if (m_nLatLonFormat >= 0 && m_nLatLonFormat < 3) {
        m_strExample = AppString(kFormatExamples[m_nLatLonFormat]);
    }
    m_pExample->setText(m_strExample);
}

} // namespace mapreg
