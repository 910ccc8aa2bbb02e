# The layer that all three deliverables share (common/): a portable part
# without <windows.h> (UTF-16 text helpers, the message formatter, number
# text, the argument splitter, lazy binding) and a Win32 part (module path,
# wchar_t/char16_t views, RAII owners, lazily loaded libraries, the
# extension's export declarations).
#
# Each deliverable compiles the layer with its own flags (the launcher without
# exceptions) into a static library of its own, so that only the files it
# calls are linked in. That is why the layer keeps one family of functions to
# a file: the linker's section garbage collection does not remove unused
# functions from these PE images (the unwind tables keep every function
# alive), and an object taken for one function brings the library code its
# neighbours call, which link-time optimisation cannot take out again.
set(VARKEL_COMMON_DIR ${CMAKE_SOURCE_DIR}/common)
file(GLOB VARKEL_COMMON_PORTABLE_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/portable/*.cpp)
file(GLOB VARKEL_COMMON_WIN32_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/win32/*.cpp)
set(VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/portable)
if(WIN32)
  list(APPEND VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/win32)
endif()

# Compiles the shared layer with target's compile options as the static
# library <target>_common and links it to target. The Win32 part is compiled
# in a Windows build only.
function(varkel_use_common target)
  set(sources ${VARKEL_COMMON_PORTABLE_SOURCES})
  if(WIN32)
    list(APPEND sources ${VARKEL_COMMON_WIN32_SOURCES})
  endif()
  target_include_directories(${target} PRIVATE ${VARKEL_COMMON_INCLUDES})
  add_library(${target}_common STATIC ${sources})
  target_include_directories(${target}_common PRIVATE ${VARKEL_COMMON_INCLUDES})
  target_compile_options(${target}_common PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>)
  target_link_libraries(${target} PRIVATE ${target}_common)
endfunction()
