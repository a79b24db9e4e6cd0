#pragma once
// Drives modal dialogs from tests: the function runs once the next modal
// dialog has opened (inside its exec()).

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

template <class Dialog>
void whenModal(std::function<void(Dialog *)> drive)
{
    QTimer::singleShot(0, [drive] {
        auto *dlg = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dlg) {
            // Not open yet: try again on the next turn of the event loop.
            whenModal<Dialog>(drive);
            return;
        }
        drive(dlg);
    });
}
