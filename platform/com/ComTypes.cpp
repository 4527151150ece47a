#include "ComTypes.h"

#include <array>
#include <cstdio>
#include <utility>

namespace com {

const char* HresultName(HRESULT result)
{
    static constexpr std::array<std::pair<HRESULT, const char*>, 20> kNames = {{
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_FAIL, "E_FAIL"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
        {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"},
        {SELFREG_E_TYPELIB, "SELFREG_E_TYPELIB"},
        {SELFREG_E_CLASS, "SELFREG_E_CLASS"},
    }};
    for (const auto& [code, name] : kNames) {
        if (code == result) {
            return name;
        }
    }
    return "";
}

std::string HresultText(HRESULT result)
{
    char number[11];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(result));
    const std::string name = HresultName(result);
    return name.empty() ? number : std::string(number) + " " + name;
}

} // namespace com
