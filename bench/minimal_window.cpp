// The references of the start-up benchmark: the least a Qt Widgets program does before
// its main window appears.
//
//   minimal_window --with-text [TITLE]   a titled main window with a menu bar and a line
//                                        of Chinese text, the least a window showing a
//                                        patient needs: readceph is measured against it
//   minimal_window [TITLE]               the same window empty, for information
//
// The empty window never loads a font: it tells the cost of Qt itself. The one with
// text also pays for the font set-up and the menu bar, which no real main window avoids.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QString>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int next = 1;
    const bool withText = argc > next && std::strcmp(argv[next], "--with-text") == 0;
    if (withText) ++next;
    QMainWindow window;
    window.setWindowTitle(argc > next ? QString::fromLocal8Bit(argv[next])
                                      : QStringLiteral("minimal window"));
    if (withText) {
        window.menuBar()->addMenu(QStringLiteral("File"));
        window.setCentralWidget(new QLabel(QStringLiteral("林美華 側頭顱分析")));
    }
    window.show();
    return QApplication::exec();
}
