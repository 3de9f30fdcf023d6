// The resources every program carries for its window (see dialog.rc.in), shared by the resource
// script and the dialog's code.
#pragma once

// The images of ILButton: "Abbruch", "Weiter" and the greyed "Weiter" of a disabled button. They
// are icon files kept as raw data: as icon resources the first of them would become the program
// file's icon.
#define QND_IMAGE_CANCEL 101
#define QND_IMAGE_FORWARD 102
#define QND_IMAGE_FORWARD_DISABLED 103
