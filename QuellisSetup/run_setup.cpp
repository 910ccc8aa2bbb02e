#include "run_setup.h"

#include <windows.h>
#include <shlobj.h>

#include "module_path.h"
#include "own_path.h"
#include "quellis_exports.h"
#include "quellis_module.h"
#include "setup_exit_codes.h"
#include "setup_message_box.h"
#include "setup_message_text.h"
#include "setup_messages.h"
#include "text.h"
#include "utf16_view.h"

namespace varkel::setup {

namespace {

// What differs between the two jobs: the exports, in the order they run, and
// the messages that go with them.
struct Job {
    const char* appExportName;
    const char* serverExportName;
    const char16_t* appFailed;
    const char16_t* serverFailed;
};

constexpr Job kInstall{kRegisterAppExportName, kRegisterServerExportName, text::kWritePathFailed,
                       text::kRegisterServerFailed};
constexpr Job kUninstall{kUnregisterAppExportName, kUnregisterServerExportName, text::kRemovePathFailed,
                         text::kUnregisterServerFailed};

void showModuleNotFound(const std::wstring& quellisPath) {
    showSetupMessage(FormatSetupMessage(text::kModuleNotFound, {asPortable(quellisPath)}), MessageIcon::error);
}

void showExportMissing(const char* exportName, const std::wstring& quellisPath) {
    showSetupMessage(FormatSetupMessage(text::kExportMissing, {widenAscii(exportName), asPortable(quellisPath)}),
                     MessageIcon::error);
}

// Registry failures are left to an instance that cannot restart: the
// elevated one repeats the job and reports it.
void showRegistryFailure(const SetupCommandLine& options, const char16_t* message, MessageIcon icon) {
    if (!options.forkAllowed) showSetupMessage(message, icon);
}

// Explorer caches associations and menu handlers; tell it that they changed.
void notifyShell() {
    SHChangeNotify(SHCNE_ALLEVENTS, SHCNF_IDLIST, nullptr, nullptr);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void showDone(const SetupCommandLine& options) {
    if (options.silent) return;
    const std::u16string message = options.installMode
                                       ? FormatSetupMessage(text::kInstallDone, {options.launcherPath})
                                       : FormatSetupMessage(text::kUninstallDone, {});
    showSetupMessage(message, MessageIcon::information);
}

}  // namespace

bool ParseSetupCommandLine(const wchar_t* commandLine, SetupState& state) {
    const std::wstring_view line = commandLine ? commandLine : L"";
    state.options = checkSetupCommandLine(asPortable(line));
    if (state.options.accepted()) return true;
    showSetupMessage(usageMessage(asPortable(line)), MessageIcon::error);
    return false;
}

int RunSetup(const wchar_t* commandLine, SetupState& state) {
    if (!ParseSetupCommandLine(commandLine, state)) return exit_code::kRejectedCommandLine;
    const SetupCommandLine& options = state.options;
    const Job& job = options.installMode ? kInstall : kUninstall;

    state.exePath = modulePath(nullptr);
    const std::wstring quellisPath = moduleBeside(state.exePath);
    QuellisModule module;
    if (!module.load(quellisPath)) {
        showModuleNotFound(quellisPath);
        return exit_code::kModuleNotLoadable;
    }

    // The launcher path first, then the extension: a failure in the first
    // step stops before the second, and nothing is rolled back.
    const AppExport appExport = module.appExport(job.appExportName);
    if (!appExport) {
        showExportMissing(job.appExportName, quellisPath);
        return exit_code::kAppExportMissing;
    }
    const std::wstring launcherPath = toWide(options.launcherPath);  // empty for uninstall
    if (!appExport(launcherPath.c_str(), options.allUsers)) {
        showRegistryFailure(options, job.appFailed, MessageIcon::error);
        return exit_code::kLauncherPathFailed;
    }

    const ServerExport serverExport = module.serverExport(job.serverExportName);
    if (!serverExport) {
        showExportMissing(job.serverExportName, quellisPath);
        return exit_code::kServerExportMissing;
    }
    if (!serverExport(options.allUsers)) {
        showRegistryFailure(options, job.serverFailed, MessageIcon::warning);
        return exit_code::kRegisterServerFailed;
    }

    module.release();
    notifyShell();
    showDone(options);
    return exit_code::kDone;
}

}  // namespace varkel::setup
