#include "Variant.h"

#include <charconv>
#include <string>

namespace com {

namespace {

BSTR DecimalText(LONG number)
{
    const std::string text = std::to_string(number);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (result != nullptr) {
        for (size_t i = 0; i < text.size(); ++i) {
            result[i] = static_cast<OLECHAR>(text[i]);
        }
    }
    return result;
}

bool DecimalNumber(BSTR text, LONG& number)
{
    std::string digits;
    for (UINT i = 0; i < SysStringLen(text); ++i) {
        if (text[i] > 0x7F) {
            return false;
        }
        digits += static_cast<char>(text[i]);
    }
    const char* begin = digits.data();
    const char* end = begin + digits.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [stop, error] = std::from_chars(begin, end, number);
    return begin != end && error == std::errc() && stop == end;
}

// The converted value in `result`; the source is left as it is.
HRESULT Convert(const VARIANT& source, VARTYPE type, VARIANT& result)
{
    if (source.vt == type && type != VT_BSTR) {
        result = source;
        return S_OK;
    }
    result.vt = type;
    if (source.vt == VT_BSTR && type == VT_BSTR) {
        result.bstrVal = SysAllocStringLen(source.bstrVal, SysStringLen(source.bstrVal));
        return result.bstrVal == nullptr && source.bstrVal != nullptr ? E_OUTOFMEMORY : S_OK;
    }
    if (type == VT_BSTR && source.vt == VT_I4) {
        result.bstrVal = DecimalText(source.lVal);
        return result.bstrVal == nullptr ? E_OUTOFMEMORY : S_OK;
    }
    if (type == VT_I4 && source.vt == VT_BSTR) {
        return DecimalNumber(source.bstrVal, result.lVal) ? S_OK : DISP_E_TYPEMISMATCH;
    }
    if (type == VT_I4 && source.vt == VT_BOOL) {
        result.lVal = source.boolVal == VARIANT_FALSE ? 0 : -1;
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

} // namespace

void VariantInit(VARIANT* value)
{
    value->vt = VT_EMPTY;
    value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
    value->bstrVal = nullptr;
}

HRESULT VariantClear(VARIANT* value)
{
    if (value == nullptr) {
        return E_INVALIDARG;
    }
    if (value->vt == VT_BSTR) {
        SysFreeString(value->bstrVal);
    }
    VariantInit(value);
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, WORD, VARTYPE type)
{
    if (destination == nullptr || source == nullptr) {
        return E_INVALIDARG;
    }
    VARIANT result;
    VariantInit(&result);
    const HRESULT status = Convert(*source, type, result);
    if (FAILED(status)) {
        return status;
    }
    VariantClear(destination);
    *destination = result;
    return S_OK;
}

} // namespace com
