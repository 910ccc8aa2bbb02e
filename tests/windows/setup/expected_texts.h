// The texts the setup tool must show, written out independently of the
// tool's own sources so that a changed text fails a test.
#pragma once

#include <string>

namespace setuptest {

inline const std::wstring kCaption = L"Varkel Quellis Setup";
inline const std::wstring kWritePathFailed =
    L"ERROR: Unable to write Varkel path in Windows registry.\nVerify that you have sufficient privileges.";
inline const std::wstring kRemovePathFailed =
    L"ERROR: Unable to remove Varkel path from Windows registry.\nVarkel already unregistered or insufficient privileges.";
inline const std::wstring kRegisterServerFailed =
    L"ERROR: Unable to register Varkel DLL in Windows registry.\nVerify that you have sufficient privileges.";
inline const std::wstring kUnregisterServerFailed =
    L"ERROR: Unable to unregister Varkel DLL in Windows registry.\nVarkel already unregistered or insufficient privileges.";
inline const std::wstring kUninstallDone = L"Varkel application successfully unregistered.";

inline std::wstring installDone(const std::wstring& launcherPath) {
    return L"Varkel application \"" + launcherPath + L"\" successfully registered.";
}
inline std::wstring moduleNotFound(const std::wstring& modulePath) {
    return L"ERROR: Unable to find \"" + modulePath + L"\"";
}
inline std::wstring exportMissing(const std::wstring& exportName, const std::wstring& modulePath) {
    return L"ERROR: Unable to get function \"" + exportName + L"\"\nfrom \"" + modulePath + L"\".";
}

}  // namespace setuptest
