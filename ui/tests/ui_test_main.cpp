// The viewer's tests run on Qt's offscreen platform with a fixed font, so
// that text heights, and with them page sizes and row bands, are known.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include "ui/common/resource_names.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform reports every window request it cannot honour
// (raise, size hints); those lines say nothing about the viewer.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("This plugin does not support"))) return;
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR not set"))) return;
    if (defaultHandler != nullptr) defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    defaultHandler = qInstallMessageHandler(QuietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitChronaraResources();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    return RUN_ALL_TESTS();
}
