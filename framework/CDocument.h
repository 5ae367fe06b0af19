#pragma once
// Base of the application's document: modified flag, path and title, the attached views
// and their update, and the File New / Open / Save flow around the document's own
// OnNewDocument, OnOpenDocument and OnSaveDocument.

#include <string>
#include <vector>

namespace mapreg {

class CUserPrompt;
class CView;

class CDocument {
public:
    explicit CDocument(CUserPrompt& prompt);
    virtual ~CDocument();
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    const std::string& GetPathName() const { return m_strPathName; }
    // Sets the path and makes its file name the title.
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }

    // Views are not owned; a view removes itself before it is destroyed.
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    // Calls OnUpdate(this, hint) of every view except sender.
    void UpdateAllViews(int hint, CView* sender = nullptr);

    CUserPrompt& Prompt() const { return *m_pPrompt; }
    // Puts the document's questions to prompt from now on (not owned; it must outlive its use).
    void SetPrompt(CUserPrompt& prompt) { m_pPrompt = &prompt; }

    // Overridables. OnNewDocument empties the document through DeleteContents, clears the
    // modified flag and the path. The base OnOpenDocument and OnSaveDocument fail.
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    virtual void DeleteContents();

    // File commands. Each first offers to save a modified document where the framework
    // would (New, Open); a failed open leaves the document, path and title as they were.
    bool FileNew();
    bool FileOpen(const std::string& path);
    // Opens path without the question; for callers that asked already. Same result as FileOpen.
    bool OpenFile(const std::string& path);
    // Save to the current path, or ask for one when there is none.
    bool FileSave();
    // Ask for a path, then save there.
    bool FileSaveAs();
    // Saves to path and on success takes it as the document's path.
    bool DoSave(const std::string& path);
    // "Save changes to ...?" for a modified document: Yes saves, No discards, Cancel
    // stops. Returns true when the caller may go on.
    bool SaveModified();

    // Default extension and chooser filter of the document's files, for FileSaveAs.
    virtual std::string GetDefaultExtension() const { return {}; }
    virtual std::string GetFileFilter() const { return {}; }

protected:
    // Called by OnOpenDocument when the open succeeded but the document no longer shows what
    // the file describes: FileOpen then leaves it untitled, so that Save asks for a path
    // instead of replacing that file.
    void DetachFromOpenedFile() { m_bDetachFromOpenedFile = true; }

private:
    CUserPrompt* m_pPrompt;
    std::vector<CView*> m_views;
    std::string m_strPathName;
    std::string m_strTitle;
    bool m_bModified = false;
    bool m_bDetachFromOpenedFile = false;
};

} // namespace mapreg
