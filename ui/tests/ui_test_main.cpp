// The viewer's tests run on Qt's offscreen platform with a fixed font, so
// that text heights, and with them page sizes and row bands, are known.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include "ui/resource_names.h"

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitChronaraResources();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    return RUN_ALL_TESTS();
}
