#pragma once

class QCoreApplication;

namespace cheque {

// Qt's own windows and buttons (file pickers, standard buttons, edit menus)
// in Hebrew and right to left: Debian's qt6-translations-l10n catalogues,
// and our own words for the few texts they lack. Once, at start, in both
// programs.
void InstallQtHebrew(QCoreApplication& app);

}  // namespace cheque
