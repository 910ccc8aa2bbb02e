// Every text the setup tool shows, in one place. The formats hold only "%s"
// placeholders, filled in order by FormatSetupMessage (setup_message_text.h).
#pragma once

namespace varkel::setup::text {

inline constexpr const char16_t* kCaption = u"Varkel Quellis Setup";

// ---- Command-line words ------------------------------------------------------------
inline constexpr const char16_t* kInstallWord = u"/install";
inline constexpr const char16_t* kUninstallWord = u"/uninstall";
inline constexpr const char16_t* kAllUsersWord = u"/allusers";
inline constexpr const char16_t* kSilentWord = u"/silent";
// Given to the elevated instance only; the usage text does not mention it.
inline constexpr const char16_t* kNoForkWord = u"/nofork";

// ---- Rejected command line -------------------------------------------------------------
// Filled with the whole command line, then /silent, /allusers, /install,
// /silent, /allusers, /uninstall.
inline constexpr const char16_t* kUsage =
    u"Invalid command line \"%s\", must be:\n\n[%s]  [%s]  %s  <Varkel_EXE_Path>\n\n  or  \n\n[%s]  [%s]  %s";
// Ends a command line that had to be shortened to fit the usage message.
inline constexpr const char16_t* kShortenedMark = u"...";

// ---- Loading the shell extension module ----------------------------------------------------
// The module's file name and its export names are the contract with the
// module (quellis_exports.h).
inline constexpr const char16_t* kModuleNotFound = u"ERROR: Unable to find \"%s\"";
inline constexpr const char16_t* kExportMissing = u"ERROR: Unable to get function \"%s\"\nfrom \"%s\".";

// ---- Registry failures (shown only by an instance that may not restart) --------------------
inline constexpr const char16_t* kWritePathFailed =
    u"ERROR: Unable to write Varkel path in Windows registry.\nVerify that you have sufficient privileges.";
inline constexpr const char16_t* kRemovePathFailed =
    u"ERROR: Unable to remove Varkel path from Windows registry.\n"
    u"Varkel already unregistered or insufficient privileges.";
inline constexpr const char16_t* kRegisterServerFailed =
    u"ERROR: Unable to register Varkel DLL in Windows registry.\nVerify that you have sufficient privileges.";
inline constexpr const char16_t* kUnregisterServerFailed =
    u"ERROR: Unable to unregister Varkel DLL in Windows registry.\n"
    u"Varkel already unregistered or insufficient privileges.";

// ---- Success ---------------------------------------------------------------------------
inline constexpr const char16_t* kInstallDone = u"Varkel application \"%s\" successfully registered.";
inline constexpr const char16_t* kUninstallDone = u"Varkel application successfully unregistered.";

}  // namespace varkel::setup::text
