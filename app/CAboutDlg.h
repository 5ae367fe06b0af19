#pragma once
// The About box: application icon, program name and version, and an OK button.

#include <QDialog>

namespace mapreg {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};

} // namespace mapreg
