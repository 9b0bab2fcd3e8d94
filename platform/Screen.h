#pragma once
// Window placement the desktop does not do for us.
class QWidget;

namespace orv {

// Sizes the window to its contents and puts it in the middle of the
// primary screen.
void CentreOnScreen(QWidget* window);

}  // namespace orv
