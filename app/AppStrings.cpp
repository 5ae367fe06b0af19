#include "app/AppStrings.h"

#include "resources/StringTable.h"

namespace mapreg {

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AppString(unsigned nId) {
    return FromView(LoadStringId(nId));
}

QString AppFormatString1(unsigned nId, const QString& arg) {
    const std::string expanded = FormatString1(nId, arg.toStdString());
    return QString::fromStdString(expanded);
}

QString CommandPrompt(unsigned nCommandId) {
    const QString text = AppString(nCommandId);
    return text.section(QLatin1Char('\n'), 0, 0);
}

QString CommandTooltip(unsigned nCommandId) {
    const QString text = AppString(nCommandId);
    const qsizetype nBreak = text.indexOf(QLatin1Char('\n'));
    if (nBreak < 0 || nBreak + 1 == text.size()) {
        return CommandPrompt(nCommandId);
    }
    return text.mid(nBreak + 1);
}

QString ControlName(int nControlId) {
    return QStringLiteral("ctl%1").arg(nControlId);
}

QString CommandName(unsigned nCommandId) {
    return QStringLiteral("cmd%1").arg(nCommandId);
}

} // namespace mapreg
