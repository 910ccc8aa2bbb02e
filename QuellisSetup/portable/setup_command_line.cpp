#include "setup_command_line.h"

#include "setup_messages.h"

namespace varkel::setup {

namespace {

// The words that are switches rather than a launcher path.
enum class Switch { none, install, uninstall, allUsers, silent, noFork };

Switch switchOf(std::u16string_view word) {
    if (word == text::kInstallWord) return Switch::install;
    if (word == text::kUninstallWord) return Switch::uninstall;
    if (word == text::kAllUsersWord) return Switch::allUsers;
    if (word == text::kSilentWord) return Switch::silent;
    if (word == text::kNoForkWord) return Switch::noFork;
    return Switch::none;
}

}  // namespace

SplitWords splitSetupWords(std::u16string_view commandLine) {
    return splitQuotedWords(commandLine, WordLimits{kMaxWords, kMaxWordChars});
}

SetupCommandLine checkSetupCommandLine(std::u16string_view commandLine) {
    SetupCommandLine result;
    const SplitWords split = splitSetupWords(commandLine);
    if (split.tooManyWords) {
        result.rejection = Rejection::tooManyWords;
        return result;
    }
    if (split.wordTooLong) {
        result.rejection = Rejection::wordTooLong;
        return result;
    }
    if (split.words.empty()) {
        result.rejection = Rejection::noWords;
        return result;
    }

    bool installMarked = false;
    bool uninstallMarked = false;
    bool pathExpected = false;
    for (const std::u16string& word : split.words) {
        const Switch which = switchOf(word);
        if (which == Switch::none) {
            if (!pathExpected) {
                result.rejection = Rejection::unknownWord;
                return result;
            }
            result.launcherPath = word;  // the last "/install" wins
            pathExpected = false;
            continue;
        }
        if (pathExpected) {
            result.rejection = Rejection::switchInsteadOfPath;
            return result;
        }
        switch (which) {
            case Switch::install: installMarked = true; pathExpected = true; break;
            case Switch::uninstall: uninstallMarked = true; break;
            case Switch::allUsers: result.allUsers = true; break;
            case Switch::silent: result.silent = true; break;
            case Switch::noFork: result.forkAllowed = false; break;
            case Switch::none: break;
        }
    }

    if (installMarked) {
        if (uninstallMarked) {
            result.rejection = Rejection::installAndUninstall;
            return result;
        }
        result.installMode = true;
        // A trailing "/install" has no path even when an earlier one had:
        // every "/install" must be followed by its own path.
        if (pathExpected || result.launcherPath.empty()) result.rejection = Rejection::missingPath;
        return result;
    }
    if (uninstallMarked) {
        result.installMode = false;
        return result;
    }
    result.rejection = Rejection::noJob;
    return result;
}

}  // namespace varkel::setup
