# Settings of the native (Linux) build: the JDK for jni.h and libjvm.so, warnings.
find_package(Java 17 REQUIRED COMPONENTS Development)
get_filename_component(_javac_real ${Java_JAVAC_EXECUTABLE} REALPATH)
get_filename_component(VARKEL_JDK_HOME ${_javac_real} DIRECTORY)
get_filename_component(VARKEL_JDK_HOME ${VARKEL_JDK_HOME} DIRECTORY)
set(VARKEL_JDK_INCLUDE ${VARKEL_JDK_HOME}/include CACHE PATH "JDK include directory (jni.h)")
find_file(VARKEL_LIBJVM libjvm.so PATHS ${VARKEL_JDK_HOME}/lib/server NO_DEFAULT_PATH REQUIRED)
message(STATUS "JDK for JNI: ${VARKEL_JDK_HOME}")

set(VARKEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

# The launcher's portable code, built once for each bitness of the launcher:
# the 32-bit build's rules (heap limit, memory note, message texts) are tested
# natively too. The platform seam stays open: each test program links its own.
include(${CMAKE_CURRENT_LIST_DIR}/CommonLayer.cmake)
file(GLOB VARKEL_CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/VKJavaLauncher/core/*.cpp)
# The portable part of the shared layer, once for every native test program.
add_library(varkel_common STATIC ${VARKEL_COMMON_PORTABLE_SOURCES})
target_include_directories(varkel_common PUBLIC ${VARKEL_COMMON_INCLUDES})
target_compile_options(varkel_common PRIVATE ${VARKEL_WARNINGS})
foreach(bits 32 64)
  add_library(varkel_core${bits} STATIC ${VARKEL_CORE_SOURCES})
  target_link_libraries(varkel_core${bits} PUBLIC varkel_common)
  target_include_directories(varkel_core${bits} PUBLIC ${CMAKE_SOURCE_DIR}/VKJavaLauncher/core
                             ${VARKEL_JDK_INCLUDE} ${VARKEL_JDK_INCLUDE}/linux)
  target_compile_definitions(varkel_core${bits} PUBLIC VARKEL_BITS=${bits})
  target_compile_options(varkel_core${bits} PRIVATE ${VARKEL_WARNINGS})
endforeach()
