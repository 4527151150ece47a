#pragma once

class CItem;

// The editing state the view, the main frame and the panels share: what a
// press on the picture does, and the item the panels edit.
struct CEditingState
{
    enum Mode : int
    {
        kNoPicture = 0,
        kSelect = 1,
        kTextPlacement = 3,
    };
    enum Tool : int
    {
        kEditItems = 0,
        kPan = 1,
        kCrop = 4,
    };

    int mode = kNoPicture;
    int modeBeforeText = kNoPicture;
    int tool = kEditItems;
    int toolBeforeCrop = kEditItems;
    // The item whose effects the panels edit; none while no picture is open.
    CItem* currentItem = nullptr;

    static CEditingState& Instance()
    {
        static CEditingState state;
        return state;
    }
};
