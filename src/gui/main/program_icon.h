// The program's icon "Ic0": a matrix between brackets with a fraction in it.
#pragma once

class QIcon;
class QWidget;

namespace velmora {

// The icon from the program's resources (a null icon if they are missing).
QIcon ProgramIcon();
// Makes it the window's icon.
void SetProgramIcon(QWidget& window);

}  // namespace velmora
