// The registry routines of the extension. Every key is opened in the 64-bit
// view, whatever the caller's bitness, so that the 64-bit Explorer and the
// setup tool see the same values.
#pragma once

#include <windows.h>

// Writes text as REG_SZ with its terminator, creating the key and its parents
// when missing. valueName null writes the key's default value.
bool WriteRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, const wchar_t* text);

// Reads a value of any type into buffer; byteSize gives the buffer's size in
// bytes and holds afterwards what the system reported. True only when the
// whole value fitted.
bool ReadRegistryString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, void* buffer, DWORD* byteSize);

// Deletes one value; the key itself stays.
bool DeleteRegistryValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName);
