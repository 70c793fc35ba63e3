#pragma once
// CBitmapButton: a push button drawn with one of four images: pressed, else
// focused, else disabled, else normal. It sizes itself to its images.

#include <QAbstractButton>
#include <QPixmap>

class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapButton(QWidget* parent);

    // Loads the four images (normal, pressed, focused, disabled) from resources;
    // false when the normal image is missing.
    bool LoadBitmaps(const char* normal, const char* pressed, const char* focused, const char* disabled);
    // Sizes the button to its normal image.
    void SizeToContent();

    // The image that the current state shows.
    const QPixmap& CurrentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
    QPixmap focused_;
    QPixmap disabled_;
};
