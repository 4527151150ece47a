#pragma once

#include "CToolArguments.h"

// `pixvel-tool render INPUT OUTPUT [OPTIONS]`: loads INPUT and writes it to
// OUTPUT through the encoder chosen from OUTPUT's name, at the JPEG quality
// the editor saves with. On any refusal OUTPUT is neither created nor changed.
class CRenderCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
