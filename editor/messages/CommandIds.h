#pragma once

// Command ids of the editor's menus, tool bar and accelerators. The numbers
// are the identities of the commands and travel as the QAction's data.
namespace cmd {

enum Id : int
{
    kFileNew = 57600,
    kFileOpen = 57601,
    kFileSave = 57603,
    kFileSaveAs = 57604,
    kFilePrint = 57607,
    kRecentFile1 = 57616, // to kRecentFile1 + 3
    kCut = 57635,
    kUndo = 57643,
    kRedo = 57644,
    kAbout = 57664,
    kExit = 57665,
    kNextPane = 57680,
    kPreviousPane = 57681,
    kViewToolBar = 59392,
    kViewStatusBar = 59393,

    kGuideline = 32774,
    kRotateRight = 32775,
    kRotate180 = 32776,
    kRotateLeft = 32777,
    kMirrorLeftRight = 32778,
    kMirrorTopBottom = 32779,
    kMove = 32781,
    kNewText = 32782,
    kInsertMenu = 32783,
    kInsertPicture = 32784,
    kAppendPicture = 32785,
    kViewImageToolBar = 32799,
    kViewItemBar = 32800,
    kDeleteItem = 32801,
    kToFront = 32802,
    kOneUp = 32803,
    kOneDown = 32804,
    kToBack = 32805,
    kHelp = 32806,
    kEditText = 32813,
    kCropPhone = 32815,
    kCropVideo = 32816,
    kCropHomePage = 32817,
    kCropBoard = 32818,
    kCrop = 32819,
    kCropFree = 32820,
    kCancelCrop = 32821,
    kCopyItem = 32848,
    kPasteItem = 32849,
    kCropButton = 32880,

    kFileSaveProject = 33050,
    kFileExportOra = 33051,
    kCopyImage = 33150,    // the whole picture to the clipboard
    kFitToPicture = 33160, // the item menu's item over the whole picture
};

constexpr int kRecentFileCount = 4;

} // namespace cmd
