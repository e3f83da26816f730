// The program's entry: the main window is the program.

#include <windows.h>
#include <commctrl.h>

#include "ui/frmMain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return quorvale::ui::frmMain::Run(instance, showCommand);
}
