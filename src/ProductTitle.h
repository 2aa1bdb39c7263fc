#pragma once

// The program's name as the user sees it: the main window's title, and the desktop shortcut's
// file name made of it. A macro, so that name is one literal, joined when compiled. Like
// resource.h it sits beside the layers: the window and the shortcut both need it.
// Configuring fails when it does not name the major.minor of project(VERSION) in CMakeLists.txt.
#define ZORVANE_TITLE "Zorvane v1.0"
