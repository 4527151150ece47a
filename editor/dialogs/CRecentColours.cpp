#include "CRecentColours.h"

#include "CRegistry.h"
#include "ColourText.h"

#include <algorithm>

namespace {

// Eight "#RRGGBB," entries fit easily; anything longer was not written here
// and reads as no colours at all.
constexpr int kValueBuffer = 256;

QString Key()
{
    return QString::fromLatin1(CRecentColours::kKey);
}

QString ValueName()
{
    return QString::fromLatin1(CRecentColours::kValue);
}

} // namespace

std::vector<ColourRef> CRecentColours::Load()
{
    return Parse(platform::CRegistry::Read(Key(), ValueName(), kValueBuffer));
}

void CRecentColours::Add(ColourRef colour)
{
    std::vector<ColourRef> colours = Load();
    std::erase(colours, colour);
    colours.insert(colours.begin(), colour);
    if (colours.size() > std::size_t(kCount)) {
        colours.resize(kCount);
    }
    platform::CRegistry::Write(Key(), ValueName(), Format(colours));
}

std::vector<ColourRef> CRecentColours::Parse(const QString& text)
{
    std::vector<ColourRef> colours;
    for (const QStringView entry : QStringView(text).split(QLatin1Char(','))) {
        const std::optional<ColourRef> colour = ParseColourHex(entry);
        if (colour && std::find(colours.begin(), colours.end(), *colour) == colours.end()) {
            colours.push_back(*colour);
        }
        if (colours.size() == std::size_t(kCount)) {
            break;
        }
    }
    return colours;
}

QString CRecentColours::Format(const std::vector<ColourRef>& colours)
{
    QStringList entries;
    for (const ColourRef colour : colours) {
        entries.append(ColourHexText(colour));
    }
    return entries.join(QLatin1Char(','));
}
