#include "fake_platform.h"

#include <algorithm>

namespace fake {

namespace {
Machine theMachine;
}

Machine& machine() { return theMachine; }
void reset() { theMachine = Machine{}; }

WideString Machine::resolve(const WideString& path) const {
    bool absolute = (path.size() >= 2 && path[1] == u':') || (!path.empty() && path[0] == u'\\');
    if (absolute) return path;
    WideString base = currentDirectory;
    if (!base.empty() && base.back() != u'\\') base += u'\\';
    return base + path;
}

}  // namespace fake

namespace varkel::platform {


std::uint32_t lastError() { return fake::machine().lastError; }

std::optional<WideString> systemErrorText(std::uint32_t code) {
    auto& m = fake::machine();
    auto it = m.errorTexts.find(code);
    if (it == m.errorTexts.end()) return std::nullopt;
    return it->second;
}

ModuleHandle loadLibrary(const WideString& path) {
    auto& m = fake::machine();
    m.loadAttempts.push_back(path);
    m.calls.push_back("LoadLibrary " + toUtf8(path));
    if (m.loadLibraryHook) return m.loadLibraryHook(path);
    auto it = m.libraries.find(path);
    if (it == m.libraries.end()) {
        m.lastError = 126;
        return nullptr;
    }
    if (!it->second.handle) m.lastError = it->second.error;
    return it->second.handle;
}

void* findFunction(ModuleHandle module, const char* name) {
    auto& m = fake::machine();
    if (m.findFunctionHook) return m.findFunctionHook(module, name);
    for (auto& [path, library] : m.libraries) {
        if (library.handle != module) continue;
        auto it = library.functions.find(name);
        if (it != library.functions.end()) return it->second;
    }
    m.lastError = 127;  // ERROR_PROC_NOT_FOUND
    return nullptr;
}

bool setDllDirectory(const WideString& directory) {
    fake::machine().dllDirectories.push_back(directory);
    return true;
}

int messageBox(const WideString& text, const WideString& caption, std::uint32_t style) {
    auto& m = fake::machine();
    m.boxes.push_back({text, caption, style});
    m.calls.push_back("box");
    if (m.boxAnswers.empty()) return 1;
    int answer = m.boxAnswers.front();
    m.boxAnswers.pop_front();
    return answer;
}

void sleepMilliseconds(std::uint32_t milliseconds) {
    fake::machine().calls.push_back("sleep " + std::to_string(milliseconds));
}

void exitProcess(std::uint32_t code) { throw fake::ProcessEnded{code, fake::ProcessEnded::How::exitProcess}; }
void exitRuntime(int code) {
    throw fake::ProcessEnded{static_cast<std::uint32_t>(code), fake::ProcessEnded::How::exitRuntime};
}

WideString executablePath() { return fake::machine().executablePath; }

bool changeDirectory(const WideString& directory) {
    auto& m = fake::machine();
    if (m.changeDirectoryFails) return false;
    m.currentDirectory = directory;
    return true;
}

WideString currentDirectory() { return fake::machine().currentDirectory; }

std::optional<UserIdentity> currentUser() { return fake::machine().user; }

std::optional<std::string> exchangeWithRunningInstance(const WideString& pipeName, const std::string& request) {
    fake::Machine& m = fake::machine();
    m.calls.push_back("HandOver");
    m.exchanges.emplace_back(pipeName, request);
    return m.runningInstance ? m.runningInstance(pipeName, request) : std::nullopt;
}

bool startHandOverServer(const WideString& pipeName, HandOverHandler handler, void* context) {
    fake::Machine& m = fake::machine();
    m.calls.push_back("ServeHandOvers");
    if (m.serverStartFails) return false;
    m.servedPipe = pipeName;
    if (m.onServerStarted) m.onServerStarted(handler, context);
    return true;
}

bool pathExists(const WideString& path) {
    auto& m = fake::machine();
    WideString full = m.resolve(path);
    // A library that loads, or fails for another reason than its absence, is a file.
    auto library = m.libraries.find(full);
    bool isLibrary = library != m.libraries.end() && (library->second.handle || library->second.error != 126);
    return m.existingPaths.count(full) || m.files.count(full) || isLibrary;
}

FileReadStatus readWholeFile(const WideString& path, std::string& bytes) {
    auto& m = fake::machine();
    auto it = m.files.find(m.resolve(path));
    if (it == m.files.end()) {
        m.lastError = 2;  // ERROR_FILE_NOT_FOUND
        return FileReadStatus::openFailed;
    }
    bytes = it->second;
    if (!m.unreadableFiles.count(it->first)) return FileReadStatus::ok;
    m.lastError = 30;  // ERROR_READ_FAULT
    return FileReadStatus::readFailed;
}

FileReadStatus readFileStart(const WideString& path, std::size_t maxBytes, std::string& bytes) {
    auto& m = fake::machine();
    m.calls.push_back("ReadFileStart " + toUtf8(path));
    FileReadStatus status = readWholeFile(path, bytes);
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    return status;
}

std::optional<std::array<std::uint16_t, 4>> fileProductVersion(const WideString& path) {
    auto& m = fake::machine();
    m.calls.push_back("GetFileVersionInfo " + toUtf8(path));
    auto it = m.productVersions.find(m.resolve(path));
    if (it == m.productVersions.end()) return std::nullopt;
    return it->second;
}

DirectoryListing listDirectory(const WideString& pattern) {
    auto& m = fake::machine();
    auto it = m.directories.find(m.resolve(pattern));
    if (it != m.directories.end()) return it->second;
    DirectoryListing missing;
    missing.searchHandle = ~0ull;  // INVALID_HANDLE_VALUE
    return missing;
}

// ---- Full paths, the temporary folder, deleting (the extension's file lists) ----------

WideString fullPathName(const WideString& path) { return fake::machine().resolve(path); }

std::optional<WideString> temporaryDirectory() { return fake::machine().temporaryDirectory; }

bool deleteFile(const WideString& path) {
    auto& m = fake::machine();
    m.calls.push_back("DeleteFile " + toUtf8(path));
    return m.files.erase(m.resolve(path)) > 0;
}

// ---- End of the file-list operations ---------------------------------------------------

std::optional<WideString> environmentVariable(const WideString& name) {
    auto& m = fake::machine();
    auto it = m.environment.find(name);
    if (it == m.environment.end()) return std::nullopt;
    return it->second;
}

std::optional<WideString> systemDirectory() { return fake::machine().systemDirectory; }

std::optional<WideString> readMachineRegistryString(RegistryView view, const WideString& subKey,
                                                    const WideString& valueName) {
    auto& m = fake::machine();
    auto it = m.registry.find({view, subKey, valueName});
    if (it == m.registry.end()) return std::nullopt;
    return it->second;
}

// ---- Registry: the keys that Java installers write ---------------------------------

std::vector<RegistrySubkeyTexts> readSubkeyTexts(RegistryRoot root, RegistryView view, const WideString& key,
                                                 const WideString& below, const std::vector<WideString>& valueNames) {
    const auto& values = fake::machine().installerRegistry;
    const WideString prefix = key + u"\\";
    std::vector<WideString> names;
    for (auto it = values.lower_bound({root, view, prefix, WideString()}); it != values.end(); ++it) {
        const auto& [itRoot, itView, itKey, itValue] = it->first;
        if (itRoot != root || itView != view || !startsWith(itKey, prefix)) break;
        names.push_back(itKey.substr(prefix.size(), itKey.find(u'\\', prefix.size()) - prefix.size()));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<RegistrySubkeyTexts> subkeys;
    for (WideString& name : names) {
        RegistrySubkeyTexts subkey{std::move(name), {}};
        for (const WideString& valueName : valueNames)
            subkey.values.push_back(readRegistryText(root, view, prefix + subkey.name + below, valueName));
        subkeys.push_back(std::move(subkey));
    }
    return subkeys;
}

std::optional<WideString> readRegistryText(RegistryRoot root, RegistryView view, const WideString& subKey,
                                           const WideString& valueName) {
    const auto& values = fake::machine().installerRegistry;
    auto it = values.find({root, view, subKey, valueName});
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool createProcess(const WideString& commandLine) {
    auto& m = fake::machine();
    m.calls.push_back("CreateProcess");
    if (m.createProcessFails) {
        m.lastError = m.createProcessError;
        return false;
    }
    m.createdProcesses.push_back(commandLine);
    return true;
}

bool allocConsole() {
    auto& m = fake::machine();
    m.calls.push_back("AllocConsole");
    m.consoleLog.push_back("AllocConsole");
    if (m.allocConsoleFails) {
        m.lastError = m.allocConsoleError;
        return false;
    }
    m.consoleAllocated = true;
    return true;
}

std::optional<ConsoleBufferSize> consoleBufferSize() { return fake::machine().consoleBuffer; }
void setConsoleBufferSize(ConsoleBufferSize size) {
    auto& m = fake::machine();
    m.consoleBuffer = size;
    m.consoleLog.push_back("SetConsoleScreenBufferSize " + std::to_string(size.columns) + "x" +
                           std::to_string(size.rows));
}
std::optional<WindowRect> consoleWindowRect() { return fake::machine().consoleWindow; }
void moveConsoleWindow(WindowRect rect) {
    auto& m = fake::machine();
    m.consoleWindow = rect;
    m.consoleLog.push_back("MoveWindow " + std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                           std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top));
}
void bindStandardStreamsToConsole() {
    auto& m = fake::machine();
    m.streamsBound = true;
    m.consoleLog.push_back("BindStandardStreams");
}

ConsoleInput readConsoleInputEvent() {
    auto& m = fake::machine();
    m.consoleLog.push_back("ReadConsoleInput");
    if (m.consoleInputs.empty()) return ConsoleInput{};
    ConsoleInput input = m.consoleInputs.front();
    m.consoleInputs.pop_front();
    return input;
}

void freeConsole() {
    auto& m = fake::machine();
    m.consoleFreed = true;
    m.calls.push_back("FreeConsole");
    m.consoleLog.push_back("FreeConsole");
}

void writeStandardOutput(WideView text) {
    auto& m = fake::machine();
    m.standardOutput.append(text);
    m.consoleLog.push_back("Write");
}

}  // namespace varkel::platform
