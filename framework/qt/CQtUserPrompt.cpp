#include "framework/qt/CQtUserPrompt.h"

#include "resources/StringTable.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QString>

#include <vector>

namespace mapreg {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

MsgAnswer CQtUserPrompt::ShowMessage(unsigned /*id*/, const std::string& text, MsgIcon icon,
                                     MsgButtons buttons) {
    QMessageBox box(m_pParent);
    box.setWindowTitle(ToQString(LoadStringId(AFX_IDS_APP_TITLE)));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MsgIcon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        break;
    }
    // Closing a Yes/No box by its window button counts as the harmless answer.
    return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
           : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                          : MsgAnswer::Cancel;
}

std::string CQtUserPrompt::ToQtFilter(std::string_view filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const auto bar = filter.find('|', start);
        const auto end = bar == std::string_view::npos ? filter.size() : bar;
        parts.emplace_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string label = Trim(parts[i]);
        std::string patterns = Trim(parts[i + 1]);
        if (label.empty() && patterns.empty()) {
            break;
        }
        // Drop a "(...)" the label already ends with; Qt reads the patterns from there.
        if (!label.empty() && label.back() == ')') {
            const auto open = label.rfind('(');
            if (open != std::string::npos) {
                label = Trim(std::string_view(label).substr(0, open));
            }
        }
        std::string qtPatterns;
        std::size_t p = 0;
        while (p <= patterns.size()) {
            const auto semi = patterns.find(';', p);
            const auto end = semi == std::string::npos ? patterns.size() : semi;
            std::string one = Trim(std::string_view(patterns).substr(p, end - p));
            if (one == "*.*") {
                one.erase(1); // "*", Qt's pattern for every file
            }
            if (!one.empty()) {
                qtPatterns += (qtPatterns.empty() ? "" : " ") + one;
            }
            if (semi == std::string::npos) {
                break;
            }
            p = semi + 1;
        }
        if (!result.empty()) {
            result += ";;";
        }
        result += label + " (" + qtPatterns + ")";
    }
    return result;
}

std::optional<std::string> CQtUserPrompt::ChooseFileToOpen(std::string_view defaultExt,
                                                           std::string_view filter,
                                                           std::string_view title) {
    QFileDialog dialog(m_pParent, ToQString(title), QString(), ToQString(ToQtFilter(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQString(defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> CQtUserPrompt::ChooseFileToSave(std::string_view defaultExt,
                                                           std::string_view filter,
                                                           std::string_view initialPath) {
    std::string ext(defaultExt);
    if (!ext.empty() && ext.front() == '.') {
        ext.erase(0, 1);
    }
    QFileDialog dialog(m_pParent, QString(), ToQString(initialPath), ToQString(ToQtFilter(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(ext));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

std::optional<int> CQtUserPrompt::ChooseItem(unsigned /*id*/, const std::string& text,
                                             const std::vector<std::string>& items) {
    QStringList labels;
    for (const std::string& item : items) {
        labels.append(QString::fromStdString(item));
    }
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(m_pParent, ToQString(LoadStringId(AFX_IDS_APP_TITLE)),
                              QString::fromStdString(text), labels, 0, false, &ok);
    const qsizetype index = labels.indexOf(chosen);
    if (!ok || index < 0) {
        return std::nullopt;
    }
    return static_cast<int>(index);
}

void CQtUserPrompt::BeginWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void CQtUserPrompt::EndWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

} // namespace mapreg
