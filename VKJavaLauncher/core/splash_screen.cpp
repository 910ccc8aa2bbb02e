#include "splash_screen.h"

#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

// The library's entry points are plain C functions (the C calling convention
// in the 32-bit build too).
using SplashInitFn = void (*)();
using SplashLoadFileFn = int (*)(const char*);
using SplashSetFileJarNameFn = void (*)(const char*, const char*);
using SplashCloseFn = void (*)();

void loadSplashLibrary(SplashState& splash) {
    for (const WideString& path : splash.libraryPaths) {
        // The library's own dependencies live beside it.
        platform::setDllDirectory(removeFileSpec(path));
        if (ModuleHandle module = platform::loadLibrary(path)) {
            splash.library = module;
            return;
        }
    }
    splash.libraryFailed = true;
}

// Fetches an entry point into its slot unless the slot already holds it.
void* entryPoint(LaunchContext& ctx, void*& slot, const char* name) {
    if (!slot) slot = getSplashFunction(ctx, name);
    return slot;
}

}  // namespace

std::vector<WideString> listSplashLibraryCandidates(const LaunchContext& ctx) {
    std::vector<WideString> paths;
    for (const JavaHomeCandidate& currJavaPath : ctx.javaHomeCandidates) {
        if (!currJavaPath.javaHome) continue;
        paths.push_back(concatWide(*currJavaPath.javaHome, text::kSplashLibrary));
        paths.push_back(concatWide(*currJavaPath.javaHome, text::kJreSplashLibrary));
    }
    return paths;
}

void* getSplashFunction(LaunchContext& ctx, const char* name) {
    SplashState& splash = ctx.splash;
    if (!splash.library && !splash.libraryFailed) loadSplashLibrary(splash);
    return splash.library ? platform::findFunction(splash.library, name) : nullptr;
}

void showSplashScreen(LaunchContext& ctx, const std::string& imagePath, std::vector<WideString> libraryPaths) {
    ctx.splash.libraryPaths = std::move(libraryPaths);
    SplashState& s = ctx.splash;
    if (auto init = reinterpret_cast<SplashInitFn>(entryPoint(ctx, s.init, "SplashInit"))) init();
    if (auto load = reinterpret_cast<SplashLoadFileFn>(entryPoint(ctx, s.loadFile, "SplashLoadFile")))
        load(imagePath.c_str());
    if (auto setName =
            reinterpret_cast<SplashSetFileJarNameFn>(entryPoint(ctx, s.setFileJarName, "SplashSetFileJarName")))
        setName(imagePath.c_str(), nullptr);
}

void closeSplashScreen(LaunchContext& ctx) {
    // Without a loaded library there is no splash screen: nothing is loaded here.
    if (!ctx.splash.library) return;
    if (auto close = reinterpret_cast<SplashCloseFn>(entryPoint(ctx, ctx.splash.close, "SplashClose"))) close();
}

}  // namespace varkel
