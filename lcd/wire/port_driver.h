// The port-driver DLL's interface: inpout32.dll exports these two
// functions, and the virtual panel pixelvane-panel.dll offers the same two,
// so the plug-in binds either alike.
#pragma once

#define PORT_DRIVER_OUT_EXPORT "Out32"
#define PORT_DRIVER_IN_EXPORT "Inp32"

typedef void(__stdcall *Out32Function)(short port, short value);
typedef short(__stdcall *Inp32Function)(short port);
