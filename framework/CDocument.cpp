#include "framework/CDocument.h"

#include "framework/CUserPrompt.h"
#include "framework/CView.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <filesystem>

namespace mapreg {

CDocument::CDocument(CUserPrompt& prompt)
    : m_pPrompt(&prompt), m_strTitle(LoadStringId(IDS_UNTITLED)) {}

CDocument::~CDocument() = default;

void CDocument::SetPathName(const std::string& path) {
    m_strPathName = path;
    const std::string name = std::filesystem::path(path).filename().string();
    m_strTitle = name.empty() ? std::string(LoadStringId(IDS_UNTITLED)) : name;
}

void CDocument::AddView(CView* view) {
    if (view != nullptr && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(int hint, CView* sender) {
    // A view may detach itself while it reacts; walk a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        if (view != sender) {
            view->OnUpdate(this, hint);
        }
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    m_strTitle = std::string(LoadStringId(IDS_UNTITLED));
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const std::string& /*path*/) {
    return false;
}

bool CDocument::OnSaveDocument(const std::string& /*path*/) {
    return false;
}

void CDocument::DeleteContents() {}

bool CDocument::FileNew() {
    if (!SaveModified()) {
        return false;
    }
    return OnNewDocument();
}

bool CDocument::FileOpen(const std::string& path) {
    return SaveModified() && OpenFile(path);
}

bool CDocument::OpenFile(const std::string& path) {
    m_bDetachFromOpenedFile = false;
    if (!OnOpenDocument(path)) {
        return false;
    }
    if (m_bDetachFromOpenedFile) {
        m_bDetachFromOpenedFile = false;
        m_strPathName.clear();
        m_strTitle = std::string(LoadStringId(IDS_UNTITLED));
    } else {
        SetPathName(path);
    }
    return true;
}

bool CDocument::FileSave() {
    if (m_strPathName.empty()) {
        return FileSaveAs();
    }
    return DoSave(m_strPathName);
}

bool CDocument::FileSaveAs() {
    std::string initial = m_strPathName;
    if (initial.empty()) {
        initial = m_strTitle + GetDefaultExtension();
    }
    const auto chosen =
        m_pPrompt->ChooseFileToSave(GetDefaultExtension(), GetFileFilter(), initial);
    if (!chosen || chosen->empty()) {
        return false;
    }
    return DoSave(*chosen);
}

bool CDocument::DoSave(const std::string& path) {
    if (!OnSaveDocument(path)) {
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CDocument::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    switch (m_pPrompt->MessageBoxId1(IDS_SAVE_CHANGES, m_strTitle, MsgIcon::Exclamation,
                                     MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return FileSave();
    case MsgAnswer::No:
        return true;
    case MsgAnswer::Ok:
    case MsgAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace mapreg
