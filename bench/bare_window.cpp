// bare_window: the yardstick of the viewer's start-up: a Qt 6 Widgets
// window of the viewer's size (a fixed 632 x 453 client area under a
// title), with nothing in it; with --text, with one line of text in it, so
// that what Qt's text stack costs any window that shows text (the font
// database, the font files, shaping) can be told from the rest. For
// scripts/bench-startup.sh; not a test.

#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QWidget>

int main(int argc, char* argv[]) {
    const bool text = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QApplication application(argc, argv);
    QMainWindow window;
    auto* client = new QWidget(&window);
    client->setFixedSize(632, 453);
    if (text) (new QLabel(QStringLiteral("0 records found."), client))->move(267, 181);
    window.setCentralWidget(client);
    window.setFixedSize(632, 453);
    window.setWindowTitle(QStringLiteral("Bare"));
    window.show();
    return QApplication::exec();
}
