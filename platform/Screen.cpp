#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace orv {

void CentreOnScreen(QWidget* window) {
    window->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

}  // namespace orv
