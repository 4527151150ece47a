#include "CVelunarCtrlCtrl.h"

#include "CAboutBox.h"
#include "CProcesses.h"
#include "CRegistry.h"
#include "CWindowLink.h"
#include "ComGuard.h"
#include "VelunarIds.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>

#include <chrono>
#include <thread>

using namespace com;

namespace {

QString FromBstr(BSTR text)
{
    return QString::fromUtf16(text, SysStringLen(text));
}

QStringList Levels(const QString& path)
{
    static const QRegularExpression kSeparators("[\\\\/]");
    return path.split(kSeparators);
}

// Only web addresses go to the downloader: a file: or other address would
// have it copy local files.
bool IsWebAddress(const QString& url)
{
    return url.startsWith("http://", Qt::CaseInsensitive) ||
           url.startsWith("https://", Qt::CaseInsensitive);
}

// The downloader writes the file below its download folder; a path that
// leads out of it is never handed over.
bool StaysInFolder(const QString& path)
{
    return !path.startsWith('/') && !path.startsWith('\\') && !Levels(path).contains("..");
}

// A field the downloader would read differently from what was checked: a
// NUL ends its text early, "||" separates its fields.
bool IsPlainField(const QString& field)
{
    return !field.contains(QChar(0)) && !field.contains(QLatin1String("||"));
}

// The request text: name, "||", address, "||", file and the terminating
// NUL, in UTF-8 (the system code page here).
QByteArray RequestText(const QString& fileName, const QString& url, const QString& filePath)
{
    QByteArray text = fileName.toUtf8() + "||" + url.toUtf8() + "||" + filePath.toUtf8();
    text.append('\0');
    return text;
}

} // namespace

const CDispatchTable& CVelunarCtrlCtrl::Methods()
{
    static const CDispatchTable kMethods = {
        {"ClipDownload", kClipDownload, {VT_BSTR, VT_BSTR, VT_BSTR, VT_I4}, VT_BOOL},
        {"DownloaderName", kDownloaderName, {VT_BSTR}, VT_EMPTY},
        {"RegistryPath", kRegistryPath, {VT_BSTR, VT_BSTR}, VT_EMPTY},
        {"AboutBox", DISPID_ABOUTBOX, {}, VT_EMPTY},
    };
    return kMethods;
}

HRESULT CVelunarCtrlCtrl::QueryInterface(const IID& iid, void** object)
{
    return Answer(object, static_cast<IDispatch*>(this), iid, IID_IUnknown, IID_IDispatch,
                  velunar::kDispatchId);
}

HRESULT CVelunarCtrlCtrl::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT CVelunarCtrlCtrl::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT CVelunarCtrlCtrl::GetIDsOfNames(const IID& iid, OLECHAR** names, UINT count, LCID,
                                        DISPID* ids)
{
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return Methods().GetIDsOfNames(names, count, ids);
}

HRESULT CVelunarCtrlCtrl::Invoke(DISPID id, const IID& iid, LCID, WORD flags,
                                 DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                 UINT* argumentError)
{
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return ComGuard([&] {
        CDispatchArguments arguments;
        const HRESULT prepared = Methods().Prepare(id, flags, parameters, arguments, argumentError);
        if (FAILED(prepared)) {
            return prepared;
        }
        if (result != nullptr) {
            VariantInit(result);
        }
        return Call(id, arguments, result);
    });
}

HRESULT CVelunarCtrlCtrl::Call(DISPID id, const CDispatchArguments& arguments, VARIANT* result)
{
    switch (id) {
    case kClipDownload: {
        const bool sent =
            ClipDownload(FromBstr(arguments.Text(0)), FromBstr(arguments.Text(1)),
                         FromBstr(arguments.Text(2)), static_cast<uint32_t>(arguments.Number(3)));
        if (result != nullptr) {
            result->vt = VT_BOOL;
            result->boolVal = sent ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
    case kDownloaderName:
        DownloaderName(FromBstr(arguments.Text(0)));
        return S_OK;
    case kRegistryPath:
        RegistryPath(FromBstr(arguments.Text(0)), FromBstr(arguments.Text(1)));
        return S_OK;
    default:
        return AboutBox() ? S_OK : E_UNEXPECTED;
    }
}

void CVelunarCtrlCtrl::DownloaderName(const QString& name)
{
    title_ = name;
}

QString CVelunarCtrlCtrl::DownloaderProgram()
{
    return platform::ExecutableName(kDownloader);
}

void CVelunarCtrlCtrl::RegistryPath(const QString& path, const QString& file)
{
    launch_.reset();
    // A page never chooses which program of the installation starts, nor
    // which window gets its request: only the downloader.
    refused_ = !IsKeyUnderHive(path) || file != DownloaderProgram();
    if (refused_) {
        return;
    }
    const QString folder =
        platform::CRegistry::Read("HKEY_CURRENT_USER\\" + path, "APPS_PATH", 1024);
    // The installation folder must be absolute, or the program would be
    // looked for wherever the host happens to run.
    if (QDir::isAbsolutePath(folder)) {
        launch_ = LaunchCommand{folder + "/" + file, path, folder};
    }
}

bool CVelunarCtrlCtrl::ClipDownload(const QString& fileName, const QString& url,
                                    const QString& filePath, uint32_t fileSize)
{
    using platform::CWindowLink;
    if (title_ != kDownloader || refused_ || !IsWebAddress(url) || !StaysInFolder(filePath) ||
        !IsPlainField(fileName) || !IsPlainField(url) || !IsPlainField(filePath)) {
        return false;
    }
    // A request longer than the link carries never starts the downloader.
    const QByteArray text = RequestText(fileName, url, filePath);
    if (text.size() > CWindowLink::kMaxBytes) {
        return false;
    }
    if (!CWindowLink::Find(title_)) {
        if (!StartDownloader() || !CWindowLink::WaitForWindow(title_, kStartTimeoutMs) ||
            !CWindowLink::Find(title_)) {
            return false;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kSendDelayMs));
    // The downloader's answer is not looked at, but a request that never
    // reached it (the window went away) is no success.
    return CWindowLink::Send(title_, fileSize, text).has_value();
}

bool CVelunarCtrlCtrl::StartDownloader() const
{
    // The program is started directly with the key as its one argument: no
    // shell ever sees the page's texts.
    return launch_ && platform::CProcesses::StartDetached(launch_->program, {launch_->keyPath},
                                                          launch_->folder);
}

bool CVelunarCtrlCtrl::AboutBox()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    CAboutBox box;
    box.exec();
    return true;
}

void CVelunarCtrlCtrl::OnDraw(QPainter& painter, const QRect& bounds)
{
    painter.save();
    painter.fillRect(bounds, Qt::white);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawEllipse(bounds.adjusted(0, 0, -1, -1));
    painter.restore();
}

bool CVelunarCtrlCtrl::IsKeyUnderHive(const QString& key)
{
    for (const QString& level : Levels(key)) {
        if (level.isEmpty() || level == "." || level == "..") {
            return false;
        }
    }
    return true;
}
