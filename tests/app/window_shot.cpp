// lazrine-window-shot <settings file> <png>: opens the main window on a copy
// of the settings file, lets it draw once and saves what it drew. For
// looking at the layout where no screen grabber is at hand.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <filesystem>

#include "support/TempDir.h"

#include "FakeUiServices.h"
#include "app/TfmMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lazrine-window-shot <settings file> <png>\n");
        return 2;
    }
    lazrine::testing::FakeUiServices ui;
    // The window writes its settings when it goes; the file shown stays as
    // it was.
    const lazrine::testing::TempDir dir;
    const std::string settings = dir.File("tamrisk.ini");
    std::error_code error;
    std::filesystem::copy_file(argv[1], settings, error);
    lazrine::app::TfmMain window(settings, ui);
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[2]), "PNG");
    return saved ? 0 : 1;
}
