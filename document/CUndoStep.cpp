#include "document/CUndoStep.h"

#include <utility>

namespace mapreg {

CUndoStep::CUndoStep(CGpsDoc& doc, const QString& name, CGpsDoc::UndoState before,
                     CGpsDoc::UndoState after)
    : QUndoCommand(name), m_doc(doc), m_before(std::move(before)), m_after(std::move(after)),
      m_bChangesMap(m_after.ChangesMapFrom(m_before)) {}

void CUndoStep::undo() {
    m_doc.RestoreUndoState(m_before);
}

void CUndoStep::redo() {
    if (m_bDone) {
        m_bDone = false;
        return;
    }
    m_doc.RestoreUndoState(m_after);
}

} // namespace mapreg
