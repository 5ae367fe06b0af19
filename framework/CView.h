#pragma once
// A view attached to a CDocument: the document tells it what changed through a hint.

namespace mapreg {

class CDocument;

class CView {
public:
    virtual ~CView() = default;
    // Called by CDocument::UpdateAllViews; hint values belong to the document class.
    virtual void OnUpdate(CDocument* sender, int hint) = 0;
};

} // namespace mapreg
