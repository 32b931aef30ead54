// Lazrine's window program. Starts the main window on the settings file
// beside the executable, or on the one named with --settings.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <string_view>

#include "app/QtUiServices.h"
#include "app/TfmMain.h"
#include "common/palm/desktop/PmDesktopPath.h"

int main(int argc, char** argv) {
    // Asked alone, the version and the usage are answered on the terminal:
    // Qt starts without a display then, so that they work where none is.
    const std::string_view only = argc == 2 ? argv[1] : "";
    if (only == "--version" || only == "-v" || only == "--help" || only == "-h" || only == "-?" ||
        only == "--help-all") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lazrine"));
    QApplication::setApplicationVersion(QStringLiteral(LAZRINE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Brings back records deleted in Palm Desktop."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(QStringList{QStringLiteral("settings")},
                                            QStringLiteral("Use <file> as the settings file instead of tamrisk.ini "
                                                           "beside the program."),
                                            QStringLiteral("file"));
    parser.addOption(settingsOption);
    parser.process(app);

    const QString settings = parser.isSet(settingsOption)
                                 ? QDir::current().absoluteFilePath(parser.value(settingsOption))
                                 : QString::fromStdString(lazrine::palm::PmDesktopPath::SettingsFile({}));

    lazrine::app::QtUiServices ui;
    // Destroyed before `app`, which writes the settings file.
    lazrine::app::TfmMain window(QDir::toNativeSeparators(settings).toLocal8Bit().toStdString(), ui);
    window.show();
    return QApplication::exec();
}
