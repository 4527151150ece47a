#pragma once

#include "CDispatchTable.h"
#include "CModuleLocks.h"

#include <QString>

#include <optional>

class QPainter;
class QRect;

// The launcher control a page scripts through its dispatch interface
// `_DVelunarCtrl`: DownloaderName (the downloader's window title),
// RegistryPath (the settings key under HKEY_CURRENT_USER and the downloader's
// program file name), ClipDownload (hand a request to the downloader,
// starting it when its window is not there) and AboutBox.
class CVelunarCtrlCtrl final : public CObjectBase<com::IDispatch>
{
public:
    static constexpr com::DISPID kClipDownload = 1;
    static constexpr com::DISPID kDownloaderName = 2;
    static constexpr com::DISPID kRegistryPath = 3;
    // How long ClipDownload waits before sending, and at most for a started
    // downloader to answer.
    static constexpr int kSendDelayMs = 1000;
    static constexpr int kStartTimeoutMs = 10000;
    // The one program the control starts, and the title of its window.
    static constexpr const char* kDownloader = "PixvelDownloader";

    // The methods and their types as the type library declares them.
    static const com::CDispatchTable& Methods();

    com::HRESULT QueryInterface(const com::IID& iid, void** object) override;
    com::HRESULT GetTypeInfoCount(com::UINT* count) override;
    com::HRESULT GetTypeInfo(com::UINT index, com::LCID locale, com::ITypeInfo** info) override;
    com::HRESULT GetIDsOfNames(const com::IID& iid, com::OLECHAR** names, com::UINT count,
                               com::LCID locale, com::DISPID* ids) override;
    com::HRESULT Invoke(com::DISPID id, const com::IID& iid, com::LCID locale, com::WORD flags,
                        com::DISPPARAMS* parameters, com::VARIANT* result,
                        com::EXCEPINFO* exception, com::UINT* argumentError) override;

    void DownloaderName(const QString& name);
    void RegistryPath(const QString& path, const QString& file);
    // True when the request was handed to the downloader's window.
    bool ClipDownload(const QString& fileName, const QString& url, const QString& filePath,
                      uint32_t fileSize);
    // False when the host runs no widget application.
    bool AboutBox();
    // A white rectangle with an ellipse inside.
    static void OnDraw(QPainter& painter, const QRect& bounds);

    // A key a page may name: relative to its hive, no empty, "." or ".."
    // levels (either separator).
    static bool IsKeyUnderHive(const QString& key);
    // The downloader's program file name, the only one RegistryPath takes.
    static QString DownloaderProgram();

private:
    // The downloader's program and its one argument, the key path.
    struct LaunchCommand
    {
        QString program;
        QString keyPath;
        QString folder;
    };

    com::HRESULT Call(com::DISPID id, const com::CDispatchArguments& arguments,
                      com::VARIANT* result);
    bool StartDownloader() const;

    QString title_;
    std::optional<LaunchCommand> launch_;
    // RegistryPath was given a key or program name that is refused: no
    // request goes out until it is given acceptable ones.
    bool refused_ = false;
};
