#pragma once

#include <Qt>

class QDialog;
class QDialogButtonBox;

// The "확인" and "취소" buttons of a dialog, wired to accept and reject and
// named "ok" and "cancel".
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog,
                                      Qt::Orientation orientation = Qt::Horizontal);
