// Numbers of the messages that the host looks up in the module's language files.
#pragma once

enum KilnrunMsg : int {
    MsgOk = 0,          // the button of the warning boxes; default button of the parameter dialog
    MsgCancel = 1,      // the other button of the parameter dialog
    MsgTitle = 2,       // plug-in menu item, command menu title, console-title suffix
    MsgError = 3,       // title of the warning boxes
    MsgShowOutput = 4,  // first command-menu item
    MsgNoOutput = 5,    // text shown when no output is stored
};
