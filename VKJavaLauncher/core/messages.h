// Every text the launcher shows or hands on, in one place. Formats use the
// launcher's formatter (format.h): %s wide text, %d signed 32-bit, %p pointer.
#pragma once

#include <cstdint>

namespace varkel::text {

// ---- Captions and styles ------------------------------------------------------------
inline constexpr const char16_t* kCaption = u"VKJavaLauncher";
inline constexpr std::uint32_t kStyleError = 0x00000010;            // MB_ICONERROR | MB_OK
inline constexpr std::uint32_t kStyleFatal = 0x00010010;            // MB_ICONERROR | MB_SETFOREGROUND
inline constexpr std::uint32_t kStyleErrorYesNo = 0x00000014;       // MB_ICONERROR | MB_YESNO
inline constexpr int kAnswerYes = 6;                                  // IDYES

// ---- Launch sequence ----------------------------------------------------------------
inline constexpr const char16_t* kOutOfMemory = u"Not enough memory to start Varkel.";
inline constexpr const char16_t* kDefaultConfigName = u"startup.conf";
inline constexpr const char16_t* kConfigPathFormat = u"%s\\%s";
inline constexpr const char* kDefaultClassPath = "classes;parsers\\classes;managers\\classes;jar\\varkel.jar";
inline constexpr const char16_t* kLibDirectory = u"lib";
inline constexpr const char* kClassPathPrefix = "-Djava.class.path=";
inline constexpr const char* kClassPathSeparator = ";";
inline constexpr const char* kConfigFilePrefix = "-Dconfig.file=";
inline constexpr const char* kMaxHeapPrefix = "-Xmx";
inline constexpr const char16_t* kDefaultMaxMemory = u"800M";
inline constexpr const char* kLoggingOption = "-Djava.util.logging.config.file=config/logging.properties ";
inline constexpr const char* kLibraryPathOption = "-Djava.library.path=lib";
inline constexpr const char* kSplashImage = "pics/splash_screen.png";
inline constexpr const char16_t* kUnableToChangeDirectory =
    u"Unable to change directory to \"%s\".\nJava program won't be launched.";

// ---- Startup configuration file ---------------------------------------------------------
inline constexpr const char16_t* kUnableToOpenConfig =
    u"Unable to open startup config file \"%s\".\nJava program won't be launched.";
inline constexpr const char16_t* kErrorReadingConfig =
    u"Error while reading startup config file \"%s\".\nJava program won't be launched.";

// ---- Command line ----------------------------------------------------------------------
inline constexpr const char16_t* kConfOption = u"--conf=";
inline constexpr const char16_t* kConsoleOption = u"--console";
inline constexpr const char16_t* kHelpOption = u"--help";

// ---- File lists ("--file-list=") --------------------------------------------------------
inline constexpr const char16_t* kUnableToOpenFileList =
    u"Unable to open file list \"%s\":\n%s\nJava program won't be launched.";
inline constexpr const char16_t* kErrorReadingFileList =
    u"Error while reading file list \"%s\":\n%s\nJava program won't be launched.";
inline constexpr const char16_t* kFileListNotUtf8 =
    u"File list \"%s\" is not UTF-8 text (line %d).\nJava program won't be launched.";

// ---- Messages and exit -----------------------------------------------------------------
inline constexpr const char16_t* kLastErrorFormat = u"Error %d: \"%s\"";

// ---- Maximum memory --------------------------------------------------------------------
inline constexpr const char16_t* kMaxMemory32BitLimit =
    u"Invalid value \"%s\" for \"MAX_MEMORY\" in \"%s\":\nYou are trying to run Varkel in 32-bits mode with "
    u"\"MAX_MEMORY\" greater or equals to 2 GB, which is not allowed by Java 32-bits.\n\nPlease run Varkel in "
    u"64-bits mode, or reduce value of \"MAX_MEMORY\".\n\nJava program won't be launched.";
inline constexpr const char16_t* kMaxMemoryInvalid =
    u"Invalid value \"%s\" for parameter \"MAX_MEMORY\" in file \"%s\".\nPlease enter values like \"800M\" or "
    u"\"2G\".\nJava program won't be launched.";

// ---- Library archives ------------------------------------------------------------------
inline constexpr const char16_t* kJarSuffix = u".jar";
inline constexpr const char16_t* kUnableToListJars =
    u"Unable to list JARs in Varkel \"lib\" directory, using JARs list in main JAR manifest (error %p)";
inline constexpr const char16_t* kFailedToListJars =
    u"Failed to list JARs in Varkel \"lib\" directory, using JARs list in main JAR manifest (error %d)";

// ---- Console ----------------------------------------------------------------------------
inline constexpr const char16_t* kUnableToCreateConsole =
    u"Unable to create a console, please run Varkel in graphical mode.\n\n%s";
inline constexpr const char16_t* kConsolePrompt = u"\nPRESSS ENTER OR ESC TO CLOSE CONSOLE...";

// ---- Java homes and JVM library ----------------------------------------------------------
inline constexpr const char16_t* kPrivateJre = u"jre";
inline constexpr const char16_t* kJavaRegistryKey = u"SOFTWARE\\JavaSoft\\Java Runtime Environment";
inline constexpr const char16_t* kJavaExe = u"java.exe";
inline constexpr const char16_t* kJvmClient = u"\\bin\\client\\jvm.dll";
inline constexpr const char16_t* kJvmServer = u"\\bin\\server\\jvm.dll";
inline constexpr const char16_t* kJreJvmClient = u"\\jre\\bin\\client\\jvm.dll";
inline constexpr const char16_t* kJreJvmServer = u"\\jre\\bin\\server\\jvm.dll";
inline constexpr const char16_t* kJavaDownloadAddress = u"https://adoptium.net/";
inline constexpr const char16_t* kProductAddress = u"https://www.orvane.com/varkel/";
inline constexpr const char16_t* kJavaNotInstalled =
    u"Java is not installed. Please install it from %s,\nor download the full Varkel installer (with Java "
    u"included) from %s.";
inline constexpr const char16_t* kError126 = u"Error 126: File not found.";
inline constexpr const char16_t* kError193 = u"Error 193: Can't load %d-bits DLL from this %d-bits process.";
inline constexpr const char16_t* kErrorReportHeader = u"Errors while trying to find and start %d-bits JVM:";
inline constexpr const char16_t* kErrorReportItem = u"\n- %s:\n   %s";
inline constexpr const char16_t* kRespawnFailed = u"\n\nUnable to respawn in 64-bits mode due to:\n";
inline constexpr const char16_t* kRunOtherBuild =
    u"\n  - Run the %d-bits version of Varkel using \"Varkel%s.exe\" instead\n    (a suitable %d-bits Java has "
    u"been found)\n";
inline constexpr const char16_t* kJavaNotFoundSummary =
    u"Unable to find a %d-bits version of Java (mandatory since you are trying to use Varkel in %d-bits).\n"
    u"Possible solutions:\n%s\n  - Specify a valid %d-bits Java path using \"JAVA_PATH\" variable in file:\n"
    u"    \"%s\"\n\n  - [Re]install Java %d-bits\n\nDo you want to see detailed errors?";
inline constexpr const char16_t* kLauncher64 = u"Varkel-64.exe";
inline constexpr const char16_t* kRespawnCommandLine = u"\"%s\\%s\" %s";

// ---- The oldest Java allowed (JAVA_MIN_VERSION) ---------------------------------------------
inline constexpr const char16_t* kJavaMinVersionInvalid =
    u"Invalid value \"%s\" for parameter \"JAVA_MIN_VERSION\" in file \"%s\".\nPlease enter a Java version like "
    u"\"11\" or \"17.0.2\".\nJava program won't be launched.";
inline constexpr const char16_t* kReleaseFile = u"release";
inline constexpr const char16_t* kBinFolder = u"\\bin";
inline constexpr const char16_t* kJreFolder = u"\\jre";
inline constexpr const char16_t* kJavaTooOld = u"Java %s is older than the required %s.";
inline constexpr const char16_t* kJavaVersionUnreadable = u"Its Java version could not be read.";
inline constexpr const char16_t* kJavaFoundItem = u"\n  - Java %s in \"%s\"";
inline constexpr const char16_t* kMoreJavaFound = u"\n  - and %d more";
inline constexpr const char16_t* kNoJavaFound = u" none";
inline constexpr const char16_t* kJavaTooOldSummary =
    u"Varkel needs Java %s or later in %d-bits (mandatory since you are trying to use Varkel in %d-bits), and none "
    u"could be loaded.\nJava versions found:%s\n\nPossible solutions:\n%s\n  - Specify a valid %d-bits Java %s (or "
    u"later) path using \"JAVA_PATH\" variable in file:\n    \"%s\"\n\n  - Install Java %s or later, %d-bits\n\nDo "
    u"you want to see detailed errors?";

// ---- JVM start and main invocation -------------------------------------------------------
inline constexpr const char* kCreateJavaVmName = "JNI_CreateJavaVM";
inline constexpr const char16_t* kCreateJavaVmNameWide = u"JNI_CreateJavaVM";
inline constexpr const char* kMainClass = "com/orvane/varkel/Varkel";
inline constexpr const char* kMainMethod = "mainVK";
inline constexpr const char* kMainSignature = "([Ljava/lang/String;)I";
inline constexpr const char* kStringClass = "java/lang/String";
// The optional entry of a later launch's arguments (SINGLE_INSTANCE=1).
inline constexpr const char* kOpenMethod = "openVK";
inline constexpr const char* kOpenSignature = "([Ljava/lang/String;Ljava/lang/String;)V";
inline constexpr const char* kObjectClass = "java/lang/Object";
inline constexpr const char* kToStringName = "toString";
inline constexpr const char* kToStringSignature = "()Ljava/lang/String;";
inline constexpr const char16_t* kUnableToLoadFunction =
    u"Unable to load function \"%s\" from \"%s\",\nplease check that Java 7 (or later) is installed.\n\n%s";
inline constexpr const char16_t* kJavaVersionTooOld =
    u"Unable to start Java program using \"%s\".\n\nIt seems that your Java version is not 7 or later.\nPlease "
    u"install Java 7 or later, or specify another Java path in\n\"%s\".\n\n(\"%s\" returned [%d])";
inline constexpr const char16_t* kUnableToStartJava =
    u"Unable to start Java program using \"%s\":\n\"%s\" function returned [%d]: %s\n\nPlease check that "
    u"parameters are valid in file \"%s\" and that Java 7 (or later) is properly installed.%s";
inline constexpr const char16_t* kMemoryNote32Bit =
    u"\n\nWe have also detected that you are trying to use 1 GB or more for Varkel memory while running Varkel in "
    u"32-bits mode, which could fail if Java could not get a contiguous memory chunk of this size from the OS "
    u"(check param \"MAX_MEMORY\" in your startup config file).";
inline constexpr const char16_t* kMainClassMissing =
    u"Unable to find main class, please check that Varkel is installed properly.\n(Class path issue? Varkel jar "
    u"issue?).";
inline constexpr const char16_t* kMainMethodMissing =
    u"Unable to find main method, please check that Varkel is installed properly.";
inline constexpr const char16_t* kJavaArgumentsFailed =
    u"Unable to pass the arguments to the Java program (the Java VM is out of memory).";
inline constexpr const char16_t* kErrorInMainMethod = u"Error in main method:\n%s";
inline constexpr const char16_t* kUnableToStopJvm = u"Unable to stop Java VM (DestroyJavaVM returned %d).";

// ---- Splash screen -----------------------------------------------------------------------
inline constexpr const char16_t* kSplashLibrary = u"\\bin\\splashscreen.dll";
inline constexpr const char16_t* kJreSplashLibrary = u"\\jre\\bin\\splashscreen.dll";

}  // namespace varkel::text

namespace varkel {

// The launcher's exit codes.
enum ExitCode : std::uint32_t {
    kExitRespawned = 0,
    kExitHandedOver = 0,  // the running instance took the launch (SINGLE_INSTANCE=1)
    kExitStartupFailure = 2,
    kExitJvmCreationFailed = 3,
    kExitInvalidSetting = 5,  // MAX_MEMORY or JAVA_MIN_VERSION
    kExitConsoleOrException = 10,
};

}  // namespace varkel
