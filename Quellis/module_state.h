// State of the loaded module, shared by its COM objects and its exports.
#pragma once

#include <windows.h>

// {3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}: the class id of the context-menu handler.
extern const CLSID CLSID_Quellis;
// {49AC469C-9044-4EA4-906C-90D98621B653}: the class id of the Windows 11 menu
// command (IExplorerCommand), which the package manifest declares.
extern const CLSID CLSID_QuellisCommand;

// The module's own instance: its path for the registration and its icons.
extern HINSTANCE moduleHandle;

// Live COM objects of the module: class factories, context-menu handlers and
// menu commands together.
// Explorer runs several apartment threads, so the count only ever changes
// through the interlocked operations below.
extern volatile LONG objectCount;

inline void objectCreated() { InterlockedIncrement(&objectCount); }
inline void objectDestroyed() { InterlockedDecrement(&objectCount); }
