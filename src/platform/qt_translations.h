#pragma once

// Qt's own texts (the file and folder dialogs, standard buttons, an edit's context menu) in Japanese,
// as the program's are, from the toolkit's translations (Debian's qt6-translations-l10n); false
// when they are not installed, and the toolkit's English stays.
bool UseQtJapanese();
