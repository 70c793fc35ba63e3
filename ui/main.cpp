// The viewer's entry point.

#include <QApplication>

#include "ui/resource_names.h"
#include "ui/view_app.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    InitChronaraResources();
    CViewApp app;
    if (app.InitInstance()) QApplication::exec();
    return app.ExitInstance();
}
