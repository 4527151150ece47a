#include "CControlHost.h"

#include "CRegistry.h"
#include "ClassRegistration.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

using namespace com;
using platform::CRegistry;

namespace {

QString DefaultValue(const QString& key)
{
    return CRegistry::Read(kClassesRoot + key, kDefaultValueName);
}

BSTR ToBstr(const QString& text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                             static_cast<UINT>(text.size()));
}

// The arguments as variants, the last one first, as Invoke takes them.
class CVariantArguments
{
public:
    explicit CVariantArguments(const std::vector<HostCall::Argument>& arguments)
        : values_(arguments.size())
    {
        for (size_t i = 0; i < arguments.size(); ++i) {
            VARIANT& value = values_[arguments.size() - 1 - i];
            VariantInit(&value);
            if (const auto* number = std::get_if<int32_t>(&arguments[i])) {
                value.vt = VT_I4;
                value.lVal = *number;
            } else {
                value.vt = VT_BSTR;
                value.bstrVal = ToBstr(std::get<QString>(arguments[i]));
            }
        }
    }
    ~CVariantArguments()
    {
        for (VARIANT& value : values_) {
            VariantClear(&value);
        }
    }
    CVariantArguments(const CVariantArguments&) = delete;
    CVariantArguments& operator=(const CVariantArguments&) = delete;

    DISPPARAMS Parameters() { return {values_.data(), nullptr, UINT(values_.size()), 0}; }

private:
    std::vector<VARIANT> values_;
};

} // namespace

CControlHost::~CControlHost()
{
    if (control_ != nullptr) {
        control_->Release();
    }
    if (module_ == nullptr) {
        return;
    }
    const auto canUnload =
        reinterpret_cast<DllCanUnloadNowFunction>(dlsym(module_, "DllCanUnloadNow"));
    if (canUnload != nullptr && canUnload() == S_OK) {
        dlclose(module_);
    }
}

QString CControlHost::ModuleOf(const QString& progId, GUID& clsid, QString& error) const
{
    const QString clsidText = DefaultValue(progId + "\\CLSID");
    const std::optional<GUID> parsed = ParseGuid(clsidText.toStdString());
    if (!parsed) {
        error = QString("the class %1 is not registered (register its module with: "
                        "pixvel-tool regsvr MODULE)")
                    .arg(progId);
        return {};
    }
    clsid = *parsed;
    const QString module = DefaultValue("CLSID\\" + clsidText + "\\InprocServer32");
    // A relative module path would be looked for wherever the host runs.
    if (!QDir::isAbsolutePath(module)) {
        error = QString("the class %1 has no module file registered (%2)").arg(progId, clsidText);
        return {};
    }
    return module;
}

bool CControlHost::Load(const QString& progId, QString& error)
{
    GUID clsid;
    const QString module = ModuleOf(progId, clsid, error);
    if (module.isEmpty()) {
        return false;
    }
    module_ = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        error = QString("cannot load %1: %2").arg(module, QString::fromLocal8Bit(dlerror()));
        return false;
    }
    const auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(dlsym(module_, "DllGetClassObject"));
    if (getClassObject == nullptr) {
        error = QString("%1 exports no DllGetClassObject").arg(module);
        return false;
    }
    IClassFactory* factory = nullptr;
    HRESULT result = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result)) {
        result =
            factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control_));
        factory->Release();
    }
    if (FAILED(result)) {
        control_ = nullptr;
        error = QString("%1 cannot make the class %2: %3")
                    .arg(module, progId, QString::fromStdString(HresultText(result)));
        return false;
    }
    return true;
}

HRESULT CControlHost::IdOf(const QString& method, DISPID& id)
{
    BSTR name = ToBstr(method);
    HRESULT result = control_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    SysFreeString(name);
    return result;
}

HRESULT CControlHost::Call(DISPID id, const std::vector<HostCall::Argument>& arguments,
                           VARIANT& result)
{
    CVariantArguments values(arguments);
    DISPPARAMS parameters = values.Parameters();
    UINT argumentError = 0;
    return control_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr,
                            &argumentError);
}
