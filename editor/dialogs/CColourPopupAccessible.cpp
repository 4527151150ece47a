#include "CColourPopupAccessible.h"

#include "CColourPopup.h"
#include "CPartAccessible.h"
#include "ColourText.h"

namespace {

// One colour cell of a popup.
class CColourCellAccessible : public CPartAccessible
{
public:
    CColourCellAccessible(CColourPopup* popup, int index) : CPartAccessible(popup, index) {}

    QAccessible::Role role() const override { return QAccessible::Cell; }

protected:
    QString Name() const override
    {
        const QString colour = ColourHexText(Popup()->CellColour(Index()).value_or(0));
        return Index() < CColourPopup::kRecentFirst ? colour : QStringLiteral("최근 색 ") + colour;
    }

    QRect LocalRect() const override
    {
        return CColourPopup::CellRect(Index()).translated(CColourPopup::kFrame,
                                                          CColourPopup::kFrame);
    }

    void Press() override { Popup()->Pick(Index()); }

private:
    CColourPopup* Popup() const { return static_cast<CColourPopup*>(Owner()); }
};

} // namespace

CColourPopupAccessible::CColourPopupAccessible(CColourPopup* popup)
    : CPartsAccessible(popup, QAccessible::Dialog)
{}

void CColourPopupAccessible::Install()
{
    InstallPartsFactory<CColourPopup, CColourPopupAccessible>();
}

CColourPopup* CColourPopupAccessible::Popup() const
{
    return static_cast<CColourPopup*>(widget());
}

int CColourPopupAccessible::PartCount() const
{
    return Popup()->ShownCellCount();
}

int CColourPopupAccessible::CurrentPart() const
{
    return Popup()->Marked();
}

QAccessibleInterface* CColourPopupAccessible::MakePart(int index) const
{
    return new CColourCellAccessible(Popup(), index);
}

int CColourPopupAccessible::PartAt(QPoint local) const
{
    return CColourPopup::HitTest(CColourPopup::ToClient(local));
}
