#include "CDispatchTable.h"

namespace com {

namespace {

char Lower(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char>(unit - u'A' + 'a')
                                        : static_cast<char>(unit);
}

// ASCII names compared without regard to case, as automation names are.
bool SameName(const std::string& name, const OLECHAR* text)
{
    size_t i = 0;
    for (; text[i] != 0; ++i) {
        if (i == name.size() || text[i] > 0x7F || Lower(text[i]) != Lower(name[i])) {
            return false;
        }
    }
    return i == name.size();
}

} // namespace

CDispatchArguments::~CDispatchArguments()
{
    for (VARIANT& value : values_) {
        VariantClear(&value);
    }
}

CDispatchTable::CDispatchTable(std::initializer_list<DispatchMethod> methods) : methods_(methods) {}

HRESULT CDispatchTable::GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const
{
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    if (names[0] == nullptr) {
        return DISP_E_UNKNOWNNAME;
    }
    for (const DispatchMethod& method : methods_) {
        if (SameName(method.name, names[0])) {
            ids[0] = method.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

const DispatchMethod* CDispatchTable::Find(DISPID id) const
{
    for (const DispatchMethod& method : methods_) {
        if (method.id == id) {
            return &method;
        }
    }
    return nullptr;
}

HRESULT CDispatchTable::Prepare(DISPID id, WORD flags, const DISPPARAMS* parameters,
                                CDispatchArguments& arguments, UINT* argumentError) const
{
    const DispatchMethod* method = Find(id);
    if (method == nullptr || (flags & DISPATCH_METHOD) == 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (parameters == nullptr) {
        return E_INVALIDARG;
    }
    if (parameters->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    const UINT count = parameters->cArgs;
    if (count != method->parameters.size()) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (count != 0 && parameters->rgvarg == nullptr) {
        return E_INVALIDARG;
    }
    arguments.values_.resize(count);
    for (UINT i = 0; i < count; ++i) {
        VariantInit(&arguments.values_[i]);
    }
    for (UINT i = 0; i < count; ++i) {
        // The last argument comes first.
        const UINT slot = count - 1 - i;
        const HRESULT converted = VariantChangeType(
            &arguments.values_[i], &parameters->rgvarg[slot], 0, method->parameters[i]);
        if (FAILED(converted)) {
            if (argumentError != nullptr) {
                *argumentError = slot;
            }
            return converted;
        }
    }
    return S_OK;
}

} // namespace com
