# Settings of the MinGW-w64 cross builds.
include(${CMAKE_CURRENT_LIST_DIR}/CommonLayer.cmake)
enable_language(RC)
set(VARKEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow)
# Statically linked: the deliverables run on a clean Windows with nothing but
# system DLLs (no libgcc, libstdc++ or winpthread DLLs).
set(VARKEL_STATIC_LINK -static -static-libgcc -static-libstdc++)
# Size: libstdc++'s default terminate handler prints the uncaught exception's
# demangled type to stderr, which a GUI program or a DLL in Explorer does not
# have, and pulls in the demangler and MinGW's printf (about 70 KB). Plain
# abort() ends the process the same way. A link option of this build's targets
# only, not part of VARKEL_STATIC_LINK, whose users may link for the other
# bitness (i686 symbols carry a leading "_").
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--defsym,_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort)
else()
  add_link_options(-Wl,--defsym,__ZN9__gnu_cxx27__verbose_terminate_handlerEv=_abort)
endif()
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
