#pragma once
// CMainFrame: the fixed main window around the search view: client area
// exactly the backdrop's 632 x 453, no menu, no sizing, no maximize,
// titled "Chronara", centred in the screen's available area at first show.

#include <QMainWindow>
#include <QPointer>

class CChronaraView;
class CDirectories;
class CViewDoc;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the view (its window creation included); false when that failed.
    bool OnCreate(const CViewDoc& doc, const CDirectories& dirs);
    // First call: places the window centred in the available area and shows
    // it; later calls show it again with the given state.
    void ActivateFrame(Qt::WindowState state = Qt::WindowNoState);
    // A second start asked for this window: restore, raise and activate it,
    // and bring its open modal box or dialog to the front above it. On
    // Wayland, where only the compositor raises windows, the activation is
    // asked for with the second start's token (when it had one), and the
    // compositor decides; without a way to ask, nothing more happens.
    void BringToFront(const QString& activationToken = QString());

    // Out of line: QPointer's data() needs the complete type, which only the source includes.
    CChronaraView* View() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DestroyView();

    bool firstActivationPending_ = true;
    QPointer<CChronaraView> view_;
};
