// pixvel-tool: the scriptable front of Pixvel's libraries.

#include "CPartialFiles.h"
#include "CToolCommands.h"
#include "QtTranslations.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

// The tool reports each refusal in one line of its own; the decoders' and
// the platform's chatter would only bury it.
void KeepSeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

// Commands that draw need the GUI library started; the others start at once
// without it.
bool NeedsGui(int argc, char** argv)
{
    return argc > 1 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "export") == 0);
}

} // namespace

int main(int argc, char** argv)
{
    CPartialFiles::InstallSignalCleanup();
    qInstallMessageHandler(KeepSeriousMessages);
    if (!NeedsGui(argc, argv)) {
        QStringList words;
        for (int index = 1; index < argc; ++index) {
            words << QString::fromLocal8Bit(argv[index]);
        }
        return CToolCommands::Run(words);
    }
    // The tool never opens a window; text rendering still needs a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    platform::LoadQtTranslations(application);
    return CToolCommands::Run(application.arguments().mid(1));
}
