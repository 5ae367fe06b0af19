#pragma once
// One undo step of the map document: the document's undoable state before and after a change,
// put back by undo and redo. The change itself has already been made when the step is pushed.

#include "document/CGpsDoc.h"

#include <QUndoCommand>

namespace mapreg {

class CUndoStep : public QUndoCommand {
public:
    CUndoStep(CGpsDoc& doc, const QString& name, CGpsDoc::UndoState before,
              CGpsDoc::UndoState after);

    void undo() override;
    void redo() override;
    // Whether the step changes what the map file holds (a waypoint click does not).
    bool ChangesMap() const { return m_bChangesMap; }

private:
    CGpsDoc& m_doc;
    CGpsDoc::UndoState m_before;
    CGpsDoc::UndoState m_after;
    bool m_bChangesMap = true;
    bool m_bDone = true; // the first redo, from QUndoStack::push, finds the change made
};

} // namespace mapreg
