// Every text the shell extension shows or hands on, in one place. Formats use
// the shared formatter (format.h): %s wide text, %d signed 32-bit. The
// registry layout's names are in registry_layout.h, the contract with the
// setup tool in quellis_exports.h.
#pragma once

namespace varkel::quellis::text {

inline constexpr const char16_t* kCaption = u"Varkel";

// ---- The context-menu command ----------------------------------------------------------
inline constexpr const char16_t* kMenuItem = u"Open with &Varkel";  // the ampersand marks the access key
inline constexpr const char16_t* kVerb = u"owvarkel";
inline constexpr const char16_t* kHelpText = u"Open file(s) with Varkel";
// GetCommandString's ANSI forms (GCS_VERBA, GCS_HELPTEXTA) hand out the same
// two texts as bytes.
inline constexpr const char* kVerbA = "owvarkel";
inline constexpr const char* kHelpTextA = "Open file(s) with Varkel";

constexpr bool sameText(const char* narrow, const char16_t* wide) {
    for (; *narrow != '\0' || *wide != u'\0'; ++narrow, ++wide) {
        if (static_cast<char16_t>(static_cast<unsigned char>(*narrow)) != *wide) return false;
    }
    return true;
}
static_assert(sameText(kVerbA, kVerb) && sameText(kHelpTextA, kHelpText), "the ANSI twins say the same");

// ---- The Windows 11 menu command (IExplorerCommand) --------------------------------
// That menu has no access keys: the title carries no ampersand.
inline constexpr const char16_t* kCommandTitle = u"Open with Varkel";
// The icon reference Explorer loads: the module's path, then ",-" and the id.
inline constexpr const char16_t* kIconReferenceSeparator = u",-";

// ---- Starting the launcher ---------------------------------------------------------------
inline constexpr const char16_t* kOpenOperation = u"open";  // ShellExecuteW's operation
// Filled with the launcher command and ShellExecuteW's result.
inline constexpr const char16_t* kLaunchFailed =
    u"ERROR: Unable to start Varkel using command \"%s\".\nPlease check your Varkel installation and Java "
    u"installation.\n\nError code: [%d]";
// Filled with the list file's path, the system's text for the error and its code.
inline constexpr const char16_t* kSelectionListFailed =
    u"ERROR: Unable to write the list of selected files to \"%s\":\n%s\nVarkel was not started.\n\nError code: [%d]";

}  // namespace varkel::quellis::text
