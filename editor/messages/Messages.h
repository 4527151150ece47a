#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The private messages the view, the panels and the main frame exchange. The
// numbers are the identities of the messages (WM_USER + n); every message
// travels as a value, so each receiver gets a copy of its own.
namespace msg {

constexpr unsigned kUser = 0x400;

enum Id : unsigned
{
    kContextMenu = kUser + 102,    // 0x466: (0 or source, indexes) show the item menu
    kZoom = kUser + 120,           // 0x478: (target, zoom percent)
    kPlaceItems = kUser + 140,     // 0x48C: (entry count, drop request)
    kSelectItems = kUser + 141,    // 0x48D: (source, indexes)
    kDeleteItems = kUser + 142,    // 0x48E: (0, indexes or none = all)
    kRefreshPanels = kUser + 143,  // 0x48F: the current item changed
    kEffectsChanged = kUser + 144, // 0x490: (slider id or 0) re-render the picture
    kMoveItem = kUser + 145,       // 0x491: (0, [from, to])
    kBaseSize = kUser + 148,       // 0x494: (index, width | height << 16)
    kEditItem = kUser + 148,       // 0x494: (index, 0) edit a text item; travels as kBaseSize
    kSelectAllRows = kUser + 150,  // 0x496: an item list selects all its rows
    kDeselectAll = kUser + 151,    // 0x497: an item list clears its selection
    kFitItem = kUser + 152,        // 0x498: (0, [index]) stretch an item over the picture
    kTabChanged = kUser + 200,     // 0x4C8: (new tab index, 0) from a tab strip to its owner
    kEffectsPreview = kUser + 925, // 0x79D: an effect changed during a drag: preview it
};

// Who sent a selection, delete or menu request (the first parameter).
enum Source : int
{
    kFromView = 0,
    kFromItemLibrary = 1,
    kFromItemsPanel = 2,
};

// Targets of the zoom message.
enum ZoomTarget : int
{
    kZoomToolBarAndView = 0,
    kZoomToolBarOnly = 1,
    kZoomViewOnly = 2,
};

// Canvas indexes: 0 is the base picture, higher indexes lie on top.
using IndexList = std::vector<uint32_t>;

// One item to place: a file to load, or a picture already in memory.
struct ItemDropEntry
{
    QString path;
    QImage picture; // null: load `path`
};

// Items to place at a point in screen coordinates; (-1, -1) means the
// view's default position.
struct ItemDropRequest
{
    int x = -1;
    int y = -1;
    std::vector<ItemDropEntry> entries;
};

struct Message
{
    unsigned id = 0;
    long wparam = 0;
    long lparam = 0;                  // numeric second parameter
    std::optional<IndexList> indexes; // none for "no list" (a delete of everything)
    std::optional<ItemDropRequest> drop;
};

Message Make(unsigned id, long wparam = 0, long lparam = 0);
Message WithIndexes(unsigned id, long wparam, IndexList indexes);
Message WithDrop(ItemDropRequest request);

// Packs a width and a height into one parameter, low word first.
long MakeLong(int low, int high);
int LowWord(long value);
int HighWord(long value);

// Returns the number of a message registered by name: the same name always
// gives the same number, from 0xC000 upward, as window messages registered
// by name are numbered.
unsigned RegisterMessage(std::string_view name);

} // namespace msg
