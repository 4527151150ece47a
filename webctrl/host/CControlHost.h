#pragma once

#include "Dispatch.h"
#include "HostCall.h"

#include <QString>

// Loads a control the way a page's host does: its ProgID leads to its class
// identifier and that to its module file (InprocServer32) in the settings
// store; the module is loaded, asked for the class object, and the object is
// made through IClassFactory and used through IDispatch. On destruction the
// object is released and the module unloaded when it says it can be.
class CControlHost
{
public:
    CControlHost() = default;
    ~CControlHost();
    CControlHost(const CControlHost&) = delete;
    CControlHost& operator=(const CControlHost&) = delete;

    // False with the reason in `error`.
    bool Load(const QString& progId, QString& error);
    com::HRESULT IdOf(const QString& method, com::DISPID& id);
    // Invokes the method with the arguments in order; `result` receives its
    // value (cleared by the caller).
    com::HRESULT Call(com::DISPID id, const std::vector<HostCall::Argument>& arguments,
                      com::VARIANT& result);

private:
    QString ModuleOf(const QString& progId, com::GUID& clsid, QString& error) const;

    void* module_ = nullptr;
    com::IDispatch* control_ = nullptr;
};
