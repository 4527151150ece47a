#include "CFrameCommands.h"

#include "CToolBarIcons.h"
#include "CommandIds.h"

#include <QKeySequence>

namespace {

struct CommandText
{
    int id;
    const char* text;
    const char* tip;
    bool checkable;
};

// Menu texts with their mnemonics; the tool tip is the text without them.
const CommandText kCommands[] = {
    {cmd::kFileNew, "새 파일(&N)", "새 파일", false},
    {cmd::kFileOpen, "열기(&O)...", "열기", false},
    {cmd::kFileSave, "저장(&S)", "저장", false},
    {cmd::kFileSaveAs, "다른 이름으로 저장(&A)...", nullptr, false},
    {cmd::kFileSaveProject, "프로젝트 저장(&J)...", nullptr, false},
    {cmd::kFileExportOra, "OpenRaster로 내보내기(&R)...", nullptr, false},
    {cmd::kFilePrint, "인쇄(&P)...", nullptr, false},
    {cmd::kExit, "종료(&X)", nullptr, false},
    {cmd::kViewToolBar, "도구 모음(&T)", nullptr, true},
    {cmd::kViewStatusBar, "상태 표시줄(&S)", nullptr, true},
    {cmd::kGuideline, "가이드라인(&G)", nullptr, true},
    {cmd::kViewImageToolBar, "이미지 편집툴", nullptr, true},
    {cmd::kViewItemBar, "아이템", nullptr, true},
    {cmd::kAbout, "Pixvel 정보(&A)...", nullptr, false},
    {cmd::kHelp, "사용법....", "사용법", false},
    {cmd::kRotateRight, "오른쪽으로 90도 회전", "오른쪽으로 90도 회전", false},
    {cmd::kRotateLeft, "왼쪽으로 90도 회전", "왼쪽으로 90도 회전", false},
    {cmd::kRotate180, "180도 회전", "180도 회전", false},
    {cmd::kMirrorLeftRight, "좌우 대칭", "좌우 대칭", false},
    {cmd::kMirrorTopBottom, "상하 대칭", "상하 대칭", false},
    {cmd::kCropButton, "잘라내기", "잘라내기", true},
    {cmd::kMove, "이동", "이동", true},
    {cmd::kNewText, "새 문자열", "문자 넣기", true},
    {cmd::kEditText, "문자열 수정", nullptr, false},
    {cmd::kInsertMenu, "그림삽입", "그림 넣기", false},
    {cmd::kInsertPicture, "삽입", nullptr, false},
    {cmd::kAppendPicture, "이어붙이기", nullptr, false},
    {cmd::kDeleteItem, "삭제", nullptr, false},
    {cmd::kToFront, "맨 앞으로", nullptr, false},
    {cmd::kOneUp, "한단계 앞으로", nullptr, false},
    {cmd::kOneDown, "한단계 뒤로", nullptr, false},
    {cmd::kToBack, "맨 뒤로", nullptr, false},
    {cmd::kCopyItem, "복사", nullptr, false},
    {cmd::kPasteItem, "붙여넣기", nullptr, false},
    {cmd::kCopyImage, "이미지 복사", nullptr, false},
    {cmd::kFitToPicture, "사진에 맞추기", nullptr, false},
    {cmd::kCropFree, "자유영역", nullptr, false},
    {cmd::kCropPhone, "휴패폰용    (160×120)", nullptr, false},
    {cmd::kCropVideo, "동영상용    (320×240)", nullptr, false},
    {cmd::kCropHomePage, "미니홈피용 (400×300)", nullptr, false},
    {cmd::kCropBoard, "게시판용    (640×480)", nullptr, false},
    {cmd::kCrop, "잘라내기", nullptr, false},
    {cmd::kCancelCrop, "취소", nullptr, false},
    {cmd::kUndo, "실행 취소", nullptr, false},
    {cmd::kRedo, "다시 실행", nullptr, false},
    {cmd::kCut, "잘라내기", nullptr, false},
    {cmd::kNextPane, "다음 창", nullptr, false},
    {cmd::kPreviousPane, "이전 창", nullptr, false},
};

// The accelerator table; cut and the pane keys have no handler, so those
// keys do nothing.
const std::pair<int, QKeyCombination> kShortcuts[] = {
    {cmd::kFileNew, Qt::CTRL | Qt::Key_N},
    {cmd::kFileOpen, Qt::CTRL | Qt::Key_O},
    {cmd::kFileSave, Qt::CTRL | Qt::Key_S},
    {cmd::kFilePrint, Qt::CTRL | Qt::Key_P},
    {cmd::kCopyImage, Qt::CTRL | Qt::SHIFT | Qt::Key_C},
    {cmd::kUndo, Qt::CTRL | Qt::Key_Z},
    {cmd::kUndo, Qt::ALT | Qt::Key_Backspace},
    {cmd::kRedo, Qt::CTRL | Qt::Key_Y},
    {cmd::kRedo, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
    {cmd::kCut, Qt::CTRL | Qt::Key_X},
    {cmd::kCut, Qt::SHIFT | Qt::Key_Delete},
    {cmd::kNextPane, QKeyCombination(Qt::Key_F6)},
    {cmd::kPreviousPane, Qt::SHIFT | Qt::Key_F6},
};

} // namespace

CFrameCommands::CFrameCommands(QObject* owner)
{
    for (const CommandText& command : kCommands) {
        auto* action = new QAction(QString::fromUtf8(command.text), owner);
        action->setData(command.id);
        action->setCheckable(command.checkable);
        action->setIcon(CToolBarIcons::Icon(command.id));
        action->setIconVisibleInMenu(false);
        if (command.tip != nullptr) {
            action->setToolTip(QString::fromUtf8(command.tip));
        }
        actions_.emplace(command.id, action);
    }
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        auto* action = new QAction(owner);
        action->setData(cmd::kRecentFile1 + slot);
        actions_.emplace(cmd::kRecentFile1 + slot, action);
    }
    std::map<int, QList<QKeySequence>> keys;
    for (const auto& [id, key] : kShortcuts) {
        keys[id].append(QKeySequence(key));
    }
    for (const auto& [id, sequences] : keys) {
        actions_.at(id)->setShortcuts(sequences);
    }
}

QAction* CFrameCommands::Action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

int CFrameCommands::IdOf(const QAction* action)
{
    return action->data().toInt();
}
