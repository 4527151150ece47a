#pragma once

class QCoreApplication;

namespace platform {

// Installs Qt's own Korean translations (qtbase_ko) into the application,
// whatever the system language, so that standard buttons and dialogs speak
// the programs' language: 예/아니오/취소/확인 and Korean file dialogs. Every
// program calls it at start, after making its application object. False
// when the translations are not installed (the texts then stay English).
bool LoadQtTranslations(QCoreApplication& application);

} // namespace platform
