#pragma once

#include "CTextItem.h"

#include <memory>

// A caption in bold white of `face` at `pixels` high, its outline made at `at`.
inline std::unique_ptr<CTextItem> BoldWhiteText(const QString& text, const QString& face,
                                                int pixels, QPointF at)
{
    auto item = std::make_unique<CTextItem>();
    item->SetText(text);
    CharFormat format;
    format.faceName = face;
    format.height = pixels * 20;
    format.effects = CharFormat::kBold;
    format.colour = 0xFFFFFF;
    item->SetFormat(format);
    item->MakeOutline(at);
    return item;
}
