#include "setup_command_line.h"

#include "setup_messages.h"

namespace varkel::setup {

namespace {

// The words that are switches rather than a launcher path.
enum class Switch { None, Install, Uninstall, AllUsers, Silent, NoFork };

Switch switchOf(std::u16string_view word) {
    if (word == text::kInstallWord) return Switch::Install;
    if (word == text::kUninstallWord) return Switch::Uninstall;
    if (word == text::kAllUsersWord) return Switch::AllUsers;
    if (word == text::kSilentWord) return Switch::Silent;
    if (word == text::kNoForkWord) return Switch::NoFork;
    return Switch::None;
}

}  // namespace

SplitWords splitSetupWords(std::u16string_view commandLine) {
    return splitQuotedWords(commandLine, WordLimits{kMaxWords, kMaxWordChars});
}

SetupCommandLine checkSetupCommandLine(std::u16string_view commandLine) {
    SetupCommandLine result;
    const SplitWords split = splitSetupWords(commandLine);
    if (split.tooManyWords) {
        result.rejection = Rejection::TooManyWords;
        return result;
    }
    if (split.wordTooLong) {
        result.rejection = Rejection::WordTooLong;
        return result;
    }
    if (split.words.empty()) {
        result.rejection = Rejection::NoWords;
        return result;
    }

    bool installMarked = false;
    bool uninstallMarked = false;
    bool pathExpected = false;
    for (const std::u16string& word : split.words) {
        const Switch which = switchOf(word);
        if (which == Switch::None) {
            if (!pathExpected) {
                result.rejection = Rejection::UnknownWord;
                return result;
            }
            result.launcherPath = word;  // the last "/install" wins
            pathExpected = false;
            continue;
        }
        if (pathExpected) {
            result.rejection = Rejection::SwitchInsteadOfPath;
            return result;
        }
        switch (which) {
            case Switch::Install: installMarked = true; pathExpected = true; break;
            case Switch::Uninstall: uninstallMarked = true; break;
            case Switch::AllUsers: result.allUsers = true; break;
            case Switch::Silent: result.silent = true; break;
            case Switch::NoFork: result.forkAllowed = false; break;
            case Switch::None: break;
        }
    }

    if (installMarked) {
        if (uninstallMarked) {
            result.rejection = Rejection::InstallAndUninstall;
            return result;
        }
        result.installMode = true;
        // A trailing "/install" has no path even when an earlier one had:
        // every "/install" must be followed by its own path.
        if (pathExpected || result.launcherPath.empty()) result.rejection = Rejection::MissingPath;
        return result;
    }
    if (uninstallMarked) {
        result.installMode = false;
        return result;
    }
    result.rejection = Rejection::NoJob;
    return result;
}

}  // namespace varkel::setup
