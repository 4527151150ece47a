#pragma once

#include "Dispatch.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace com {

// One method of a dispatch interface: its name, DISPID, parameter types in
// order and result type (VT_EMPTY for none).
struct DispatchMethod
{
    std::string name;
    DISPID id = DISPID_UNKNOWN;
    std::vector<VARTYPE> parameters;
    VARTYPE result = VT_EMPTY;
};

// The arguments of one call, converted to the declared types and in
// declaration order. Owns its strings.
class CDispatchArguments
{
public:
    CDispatchArguments() = default;
    ~CDispatchArguments();
    CDispatchArguments(const CDispatchArguments&) = delete;
    CDispatchArguments& operator=(const CDispatchArguments&) = delete;

    BSTR Text(size_t index) const { return values_.at(index).bstrVal; }
    LONG Number(size_t index) const { return values_.at(index).lVal; }

private:
    friend class CDispatchTable;
    std::vector<VARIANT> values_;
};

// The generic half of IDispatch for an interface made only of methods: name
// lookup and the checks and conversions of Invoke.
class CDispatchTable
{
public:
    CDispatchTable(std::initializer_list<DispatchMethod> methods);

    HRESULT GetIDsOfNames(OLECHAR** names, UINT count, DISPID* ids) const;
    // Checks the call (a method call, no named arguments, the declared number
    // of arguments) and converts its arguments. On a type mismatch
    // `argumentError` (when given) receives the index of the argument in
    // `parameters->rgvarg`.
    HRESULT Prepare(DISPID id, WORD flags, const DISPPARAMS* parameters,
                    CDispatchArguments& arguments, UINT* argumentError) const;
    // The method with that DISPID, or null.
    const DispatchMethod* Find(DISPID id) const;

private:
    std::vector<DispatchMethod> methods_;
};

} // namespace com
