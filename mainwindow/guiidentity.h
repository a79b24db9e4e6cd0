#pragma once
// The program's name, version, desktop entry and icon, set once on the
// application before the first window. The name is set as the application
// name only: a display name would make the platform append " — Brindle" to
// every window title, and each window sets its whole title itself. The controls of
// every window get accessible names as the window is shown.

void setProgramIdentity();

// Qt's own dialogs in Japanese (はい／いいえ／キャンセル): installs Qt's
// translation for the application's lifetime, when it is installed.
void installQtTranslation();
