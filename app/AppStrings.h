#pragma once
// Qt-side access to the string table: texts as QString, the two halves of a command prompt
// ("status bar prompt\ntooltip") and the object names that tests use to find controls.

#include <QString>

namespace mapreg {

// The text of a string id as QString; empty for an id the table does not hold.
QString AppString(unsigned nId);

// The text of nId with "%1" replaced by arg.
QString AppFormatString1(unsigned nId, const QString& arg);

// Status bar prompt of a command: the text before the line feed.
QString CommandPrompt(unsigned nCommandId);

// Tooltip of a command: the text after the line feed, or the prompt when there is none.
QString CommandTooltip(unsigned nCommandId);

// Object name of a dialog control or a command action, e.g. "ctl1022", "cmd57600".
QString ControlName(int nControlId);
QString CommandName(unsigned nCommandId);

} // namespace mapreg
