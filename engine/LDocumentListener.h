#pragma once

#include <string>

class LCutListAudio;
class LOVFile;

// What the layers above hear of the documents' lives: bookmarks follow the
// edits and the file names, and the recovery journal follows every change.
// Every call comes on the user-interface thread, after MainDialog's own work
// for it, unless its name says before. The listener is not owned.
class LDocumentListener {
public:
    virtual ~LDocumentListener() = default;
    // A document joined the list (new, loaded, copied, from a project).
    virtual void DocumentAdded(LOVFile& doc) { }
    // A file was loaded into a document that is now current.
    virtual void DocumentLoaded(LOVFile& doc) { }
    // The document was saved; strOldName is its display name before (the
    // same unless Save As gave it another).
    virtual void DocumentSaved(LOVFile& doc, const std::string& strOldName) { }
    // Before the document leaves the list.
    virtual void DocumentClosing(LOVFile& doc) { }
    // Close All closed every document.
    virtual void AllClosed() { }
    // An undo step was taken: the document is about to change.
    virtual void StepTaken(LOVFile& doc) { }
    // The document's audio or positions changed (an edit or an undo).
    virtual void DocumentEdited(LOVFile& doc) { }
    // A recording into the document is under way: what it holds so far will
    // replace the selection. Called again after each buffer, and with null
    // once the recording has gone into the document or was dropped.
    virtual void DocumentRecording(LOVFile& doc, const LCutListAudio* pSoFar) { }
    // Before Undo puts the step at doc.iUndoIdx back.
    virtual void UndoTaking(LOVFile& doc) { }
    // At exit, after every document was offered for saving; false stops it.
    virtual bool CanExit() { return true; }
};
