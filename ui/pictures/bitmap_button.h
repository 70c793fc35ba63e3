#pragma once
// CBitmapButton: a push button drawn with one of four images: pressed, else
// focused, else disabled, else normal. It sizes itself to its images, and
// paints each as drawn for the screen's device pixel ratio.

#include <QAbstractButton>
#include <QPixmap>

#include "ui/pictures/scaled_picture.h"

class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapButton(QWidget* parent);

    // Loads the four images (normal, pressed, focused, disabled) from resources;
    // false when the normal image is missing.
    bool LoadBitmaps(const char* normal, const char* pressed, const char* focused, const char* disabled);
    // Sizes the button to its normal image.
    void SizeToContent();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CScaledPicture& CurrentPicture() const;

    CScaledPicture normal_;
    CScaledPicture pressed_;
    CScaledPicture focused_;
    CScaledPicture disabled_;
};
