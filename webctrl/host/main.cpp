// VelunarHost: hosts the launcher control as a page would and calls its
// methods by name; `--url` takes a velunar: address that the desktop hands
// over for a link on a page.

#include "CControlHost.h"
#include "CHostCommandLine.h"
#include "CPackagedInstallation.h"
#include "QtTranslations.h"
#include "VelunarIds.h"

#include <QApplication>

#include <cstdio>
#include <memory>

using namespace com;

namespace {

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool widgets)
{
    if (widgets) {
        auto application = std::make_unique<QApplication>(argc, argv);
        platform::LoadQtTranslations(*application); // the about box's button
        return application;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

// Prints "Method: result"; true for a call that succeeded and did not answer
// FALSE.
bool Report(const HostCall& call, HRESULT status, const VARIANT& result)
{
    const QByteArray method = call.method.toUtf8();
    if (FAILED(status)) {
        std::printf("%s: failed, %s\n", method.constData(), HresultText(status).c_str());
        return false;
    }
    if (result.vt == VT_BOOL) {
        std::printf("%s: %s\n", method.constData(),
                    result.boolVal == VARIANT_FALSE ? "FALSE" : "TRUE");
        return result.boolVal != VARIANT_FALSE;
    }
    if (result.vt == VT_I4) {
        std::printf("%s: %d\n", method.constData(), static_cast<int>(result.lVal));
        return true;
    }
    std::printf("%s: done\n", method.constData());
    return true;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "VelunarHost: %s\n", message.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    if (words == QStringList{"--help"}) {
        std::fputs(CHostCommandLine::kUsage, stdout);
        return 0;
    }
    QString error;
    const auto calls = CHostCommandLine::Parse(words, error);
    if (!calls) {
        std::fputs(CHostCommandLine::kUsage, stderr);
        return Fail(error);
    }
    // A link clicked before the editor ever ran sets this user up first.
    platform::CPackagedInstallation::SetUpUser();
    CControlHost host;
    if (!host.Load(velunar::kControlProgId, error)) {
        return Fail(error);
    }
    std::vector<DISPID> ids;
    bool widgets = false;
    for (const HostCall& call : *calls) {
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(host.IdOf(call.method, id))) {
            return Fail(QString("the control has no method '%1'").arg(call.method));
        }
        ids.push_back(id);
        widgets = widgets || id == DISPID_ABOUTBOX;
    }
    // Only the about box needs a display.
    const auto application = MakeApplication(argc, argv, widgets);
    for (size_t i = 0; i < calls->size(); ++i) {
        VARIANT result;
        VariantInit(&result);
        const HRESULT status = host.Call(ids[i], (*calls)[i].arguments, result);
        const bool ok = Report((*calls)[i], status, result);
        VariantClear(&result);
        std::fflush(stdout);
        if (!ok) {
            return 1;
        }
    }
    return 0;
}
