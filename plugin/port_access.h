// How the plug-in reaches the parallel port on this machine, chosen once:
// the virtual panel pixelvane-panel.dll (from the plug-in's folder only),
// else the inpout32.dll port driver (from the plug-in's folder, then the
// Windows system folder, by full path only), else direct in/out
// instructions where a probe shows the process may use them, else nothing
// (no byte reaches a port).
#pragma once

// Chooses the access method; later calls keep the first choice.
void portAccessBind();

// A notice for the person at the panel (why a setting was not taken): the
// virtual panel shows it in its status line; a real port has nowhere to.
void portNotice(const char *text);
