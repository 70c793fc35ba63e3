#pragma once
// CViewApp: the application object. Keeps the viewer to one instance per
// user, owns the two directories, installs the message-box service and
// creates the document, the main frame and the view.

#include <memory>

#include "store/directories.h"
#include "ui/app/qt_message_box.h"

class CMainFrame;
class CSingleInstance;
class CViewDoc;

class CViewApp {
public:
    CViewApp();
    ~CViewApp();
    CViewApp(const CViewApp&) = delete;
    CViewApp& operator=(const CViewApp&) = delete;

    // True to run the event loop; false ends start-up (another instance
    // runs, or the backdrop could not be loaded).
    bool InitInstance();
    // Clean-up after the event loop (or a failed start); the exit status, always 0.
    int ExitInstance();
    void LoadDirectories();

    const CDirectories& Directories() const { return dirs_; }
    CMainFrame* MainFrame() const { return frame_.get(); }
    CViewDoc* Document() const { return doc_.get(); }

private:
    bool OpenDocumentFile(const char* name);

    CDirectories dirs_;
    CQtMessageBoxService messageBoxes_;
    std::unique_ptr<CSingleInstance> instance_;
    std::unique_ptr<CViewDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};
