#pragma once
// Windows are placed by their outer rectangle (frame included), as the Windows calls do; Qt sizes
// the client area, and the frame's size is known only once the window is shown.

#include <QRect>
#include <QWidget>
#include <algorithm>

// Moves and sizes `window` so that its outer rectangle is `outer`, as far as its frame is known.
inline void ApplyOuterGeometry(QWidget* window, const QRect& outer) {
    const QSize decoration = window->frameGeometry().size() - window->geometry().size();
    window->move(outer.topLeft());
    window->resize(std::max(1, outer.width() - decoration.width()),
                   std::max(1, outer.height() - decoration.height()));
}

// The same for a window without a sizing border: its size is then fixed, so that neither the user
// nor a window manager can resize or maximise it.
inline void ApplyFixedOuterGeometry(QWidget* window, const QRect& outer) {
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ApplyOuterGeometry(window, outer);
    window->setFixedSize(window->size());
}
