# The layer that all three deliverables share (common/): a portable part
# without <windows.h> (UTF-16 text helpers, the message formatter, number
# text, the argument splitter, lazy binding) and a Win32 part (module path,
# wchar_t/char16_t views, RAII owners, lazily loaded libraries, the
# extension's export declarations).
#
# Each deliverable compiles the layer with its own flags (the launcher without
# exceptions and with LTO). The launcher's link-time optimisation drops what it
# does not call; the other two link it as a static library of their own, so
# that only the files they call are linked in (the linker's section garbage
# collection does not remove unused functions from these PE images).
set(VARKEL_COMMON_DIR ${CMAKE_SOURCE_DIR}/common)
file(GLOB VARKEL_COMMON_PORTABLE_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/portable/*.cpp)
file(GLOB VARKEL_COMMON_WIN32_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/win32/*.cpp)
set(VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/portable)
if(WIN32)
  list(APPEND VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/win32)
endif()

# Compiles the shared layer for target with target's compile options (call it
# after they are set): into its sources, or with LIBRARY as a static library
# linked to it. The Win32 part is compiled in a Windows build only.
function(varkel_use_common target)
  set(sources ${VARKEL_COMMON_PORTABLE_SOURCES})
  if(WIN32)
    list(APPEND sources ${VARKEL_COMMON_WIN32_SOURCES})
  endif()
  target_include_directories(${target} PRIVATE ${VARKEL_COMMON_INCLUDES})
  if(NOT "LIBRARY" IN_LIST ARGN)
    target_sources(${target} PRIVATE ${sources})
    return()
  endif()
  add_library(${target}_common STATIC ${sources})
  target_include_directories(${target}_common PRIVATE ${VARKEL_COMMON_INCLUDES})
  target_compile_options(${target}_common PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>)
  target_link_libraries(${target} PRIVATE ${target}_common)
endfunction()
