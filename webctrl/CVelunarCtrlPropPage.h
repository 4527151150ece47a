#pragma once

#include "CModuleLocks.h"
#include "Unknown.h"

// The control's property page: an empty page captioned "General" (the
// control has no properties to show).
class CVelunarCtrlPropPage final : public CObjectBase<com::IUnknown>
{
public:
    com::HRESULT QueryInterface(const com::IID& iid, void** object) override
    {
        return Answer(object, static_cast<com::IUnknown*>(this), iid, com::IID_IUnknown);
    }
};
