// pixvel-tool: the scriptable front of Pixvel's libraries.

#include "CToolCommands.h"
#include "QtTranslations.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// The tool reports each refusal in one line of its own; the decoders' and
// the platform's chatter would only bury it.
void KeepSeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The tool never opens a window; text rendering still needs a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(KeepSeriousMessages);
    QGuiApplication application(argc, argv);
    platform::LoadQtTranslations(application);
    return CToolCommands::Run(application.arguments().mid(1));
}
