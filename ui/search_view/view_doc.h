#pragma once
// CViewDoc: the one document; its only content is the backdrop picture
// that the view paints under its controls. It is never modified.

#include <QPixmap>

#include "ui/pictures/scaled_picture.h"

class CViewDoc {
public:
    CViewDoc() = default;
    CViewDoc(const CViewDoc&) = delete;
    CViewDoc& operator=(const CViewDoc&) = delete;

    // Loads the backdrop resource; the path is not used. On failure shows
    // "Couldn't load background" (no caption, information icon) and returns false.
    bool OnOpenDocument(const char* path);

    bool HasBackdrop() const { return !backdrop_.IsNull(); }
    // The backdrop as drawn for 1x, or null when none is loaded.
    const QPixmap* Backdrop() const { return backdrop_.IsNull() ? nullptr : &backdrop_.Base(); }
    // Paints the backdrop as drawn for the painter's pixel ratio, if one is loaded.
    void PaintBackdrop(QPainter& painter) const {
        if (!backdrop_.IsNull()) backdrop_.Paint(painter, QPoint(0, 0));
    }

private:
    CScaledPicture backdrop_;
};
