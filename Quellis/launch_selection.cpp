#include "launch_selection.h"

#include <windows.h>
#include <shellapi.h>

#include "portable/launch_parameters.h"
#include "portable/quellis_messages.h"
#include "registry_access.h"
#include "registry_layout.h"
#include "selection_list_writer.h"
#include "utf16_view.h"

namespace text = varkel::quellis::text;

namespace {

constexpr int kLastShellExecuteError = 32;  // ShellExecuteW results up to 32 are errors

struct LauncherCommand {
    // MAX_PATH characters are read; the extra one is never written, so the
    // text stays terminated even when the stored value carries no terminator.
    wchar_t text[MAX_PATH + 1] = {};
};

bool readCommandFrom(HKEY root, LauncherCommand& command) {
    command = LauncherCommand();
    DWORD byteSize = MAX_PATH * sizeof(wchar_t);
    return ReadRegistryString(root, kLauncherKey, kLauncherCommandValue, command.text, &byteSize);
}

// The current user's command wins over the machine's.
bool readLauncherCommand(LauncherCommand& command) {
    if (readCommandFrom(HKEY_CURRENT_USER, command)) return true;
    return readCommandFrom(HKEY_LOCAL_MACHINE, command);
}

std::u16string toU16(const std::wstring& text) { return varkel::toPortable(text); }

void reportLaunchFailure(const wchar_t* command, int code) {
    std::u16string message = varkel::quellis::launchFailureText(varkel::asPortable(command), code);
    MessageBoxW(nullptr, varkel::asWide(message.c_str()), varkel::asWide(text::kCaption), MB_ICONERROR | MB_OK);
}

}  // namespace

bool launcherCommandRegistered() {
    LauncherCommand command;
    return readLauncherCommand(command) && command.text[0] != L'\0';
}

void LaunchWithSelection(const std::vector<std::wstring>& paths) {
    LauncherCommand command;
    if (!readLauncherCommand(command) || command.text[0] == L'\0') return;

    std::vector<std::u16string> selectedPaths;
    selectedPaths.reserve(paths.size());
    for (const auto& path : paths) selectedPaths.push_back(toU16(path));
    std::u16string parameters = varkel::quellis::buildParameterString(selectedPaths);
    // A selection too large for one command line goes to the launcher in a
    // list file; every other one exactly as ever.
    if (!varkel::quellis::fitsOnCommandLine(toU16(command.text), parameters)) {
        std::optional<std::wstring> list = writeSelectionList(selectedPaths);
        if (!list) return;
        parameters = varkel::quellis::fileListParameter(toU16(*list));
    }

    HINSTANCE started = ShellExecuteW(nullptr, varkel::asWide(text::kOpenOperation), command.text,
                                      varkel::asWide(parameters.c_str()), nullptr, SW_SHOWNORMAL);
    // The result is a number disguised as a handle: its low 32 bits, signed.
    auto code = static_cast<int>(reinterpret_cast<INT_PTR>(started));
    if (code <= kLastShellExecuteError) reportLaunchFailure(command.text, code);
}
