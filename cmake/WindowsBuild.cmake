# Settings of the MinGW-w64 cross builds.
enable_language(RC)
set(VARKEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow)
# Statically linked: the deliverables run on a clean Windows with nothing but
# system DLLs (no libgcc, libstdc++ or winpthread DLLs).
set(VARKEL_STATIC_LINK -static -static-libgcc -static-libstdc++)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VARKEL_BITS 64)
else()
  set(VARKEL_BITS 32)
endif()
if(NOT VARKEL_JDK_INCLUDE)
  message(FATAL_ERROR "VARKEL_JDK_INCLUDE must name the JDK's include directory (jni.h)")
endif()
# jni.h from the JDK, with the project's own Windows jni_md.h (the JDK here
# ships only the Linux one).
set(VARKEL_JNI_INCLUDES ${CMAKE_SOURCE_DIR}/VKJavaLauncher/jni/win32 ${VARKEL_JDK_INCLUDE})
