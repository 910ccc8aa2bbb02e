#include "splash_screen.h"

#include "messages.h"
#include "platform.h"

namespace varkel {

namespace {

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

// An entry point, bound on first use and kept.
template <typename Function>
Function entryPoint(LaunchContext& ctx, LazyFunction<Function>& function) {
    return function.get([&ctx](const char* name) { return getSplashFunction(ctx, name); });
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
    if (auto init = entryPoint(ctx, s.init)) init();
    if (auto load = entryPoint(ctx, s.loadFile)) load(imagePath.c_str());
    if (auto setName = entryPoint(ctx, s.setFileJarName)) setName(imagePath.c_str(), nullptr);
}

void closeSplashScreen(LaunchContext& ctx) {
    // Without a loaded library there is no splash screen: nothing is loaded here.
    if (!ctx.splash.library) return;
    if (auto close = entryPoint(ctx, ctx.splash.close)) close();
}

}  // namespace varkel
