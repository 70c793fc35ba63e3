#pragma once
// CHelpWindow: shows the help file at a context number.
//
// The help file is HTML in Windows-1252. Each topic starts at an anchor
// named "context-N", N being the topic's context number in decimal; links
// between topics are written href="#context-N". See res/HELP_FORMAT.md.

#include <QString>
#include <QTextBlock>
#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* owner);

    // Loads the file (path in the bytes the file system uses) and shows the
    // topic of context; false when the file cannot be read (the window then
    // stays as it was).
    bool ShowContext(const char* path, int context);

    // Shows the topic of context in the loaded file; false when the file has no such topic.
    bool ScrollToContext(int context);

    static QString AnchorName(int context);
    // The block that holds the anchor of context; invalid when there is none.
    QTextBlock TopicBlock(int context) const;

    QTextBrowser* Browser() const { return browser_; }
    int CurrentContext() const { return context_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // At its first showing: whole within the available area of the viewer's
    // screen, beside the viewer or over it (window_placement.h).
    void Place();

    QTextBrowser* browser_;
    bool placed_ = false;
    int context_ = -1;
};
