#pragma once

#include "ComTypes.h"
#include "Guid.h"

// The module's class objects and its unload test, behind the exported
// DllGetClassObject and DllCanUnloadNow.
class CVelunarModule
{
public:
    // The class factory of the control or of the property page;
    // CLASS_E_CLASSNOTAVAILABLE for any other class.
    static com::HRESULT GetClassObject(const com::CLSID& clsid, const com::IID& iid, void** object);
    // S_OK when no object of the module lives and no lock is held, else S_FALSE.
    static com::HRESULT CanUnloadNow();
};
