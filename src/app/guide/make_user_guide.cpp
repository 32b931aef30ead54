// Build tool: makes the user guide, an HTML page, from the sections of the
// README that are written for users.
//
//     lazrine-make-user-guide <README.md> <out.html> <version> <section title>...
//
// Each title names a "## " section of the README, taken whole in the order
// given; a title the README lacks fails the build, so that renaming a
// section cannot silently drop it from the guide.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <map>

namespace {

// The "## " sections of a Markdown text by title; code blocks are never
// taken for titles.
std::map<QString, QString> SectionsOf(const QString& markdown) {
    std::map<QString, QString> sections;
    QString* current = nullptr;
    bool fenced = false;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("```"))) {
            fenced = !fenced;
        }
        if (!fenced && line.startsWith(QLatin1String("## "))) {
            current = &sections[line.mid(3).trimmed()];
            continue;
        }
        if (!fenced && line.startsWith(QLatin1String("# "))) {
            current = nullptr;
            continue;
        }
        if (current != nullptr) {
            current->append(line).append(QLatin1Char('\n'));
        }
    }
    return sections;
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts and documents need a GUI application; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: lazrine-make-user-guide <README.md> <out.html> <version> <section title>...\n");
        return 2;
    }
    QFile readme(args[1]);
    if (!readme.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const std::map<QString, QString> sections = SectionsOf(QString::fromUtf8(readme.readAll()));
    // The title names the version the guide was made for, the one the
    // programs' --version prints.
    const QString title = QStringLiteral("Lazrine ") + args[3] + QStringLiteral(" User Guide");
    QString guide = QStringLiteral("# ") + title + QStringLiteral("\n\n");
    for (qsizetype i = 4; i < args.size(); ++i) {
        const auto found = sections.find(args[i]);
        if (found == sections.end()) {
            std::fprintf(stderr, "%s has no section \"%s\"\n", qPrintable(args[1]), qPrintable(args[i]));
            return 1;
        }
        guide += QStringLiteral("## ") + args[i] + QStringLiteral("\n") + found->second + QStringLiteral("\n");
    }
    QTextDocument document;
    document.setMarkdown(guide);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    QDir().mkpath(QFileInfo(args[2]).absolutePath());
    QFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(document.toHtml().toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
