# The layer that all three deliverables share (common/): a portable part
# without <windows.h> (UTF-16 text helpers, the message formatter, number
# text, the argument splitter, lazy binding) and a Win32 part (module path,
# wchar_t/char16_t views, RAII owners, lazily loaded libraries, the
# extension's export declarations).
#
# Each deliverable compiles the layer with its own flags (the launcher without
# exceptions and with LTO), so it is added to each target's sources rather
# than built once as a library.
set(VARKEL_COMMON_DIR ${CMAKE_SOURCE_DIR}/common)
file(GLOB VARKEL_COMMON_PORTABLE_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/portable/*.cpp)
file(GLOB VARKEL_COMMON_WIN32_SOURCES CONFIGURE_DEPENDS ${VARKEL_COMMON_DIR}/win32/*.cpp)
set(VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/portable)
if(WIN32)
  list(APPEND VARKEL_COMMON_INCLUDES ${VARKEL_COMMON_DIR}/win32)
endif()

# Compiles the shared layer into target (the Win32 part in a Windows build only).
function(varkel_use_common target)
  target_sources(${target} PRIVATE ${VARKEL_COMMON_PORTABLE_SOURCES})
  if(WIN32)
    target_sources(${target} PRIVATE ${VARKEL_COMMON_WIN32_SOURCES})
  endif()
  target_include_directories(${target} PRIVATE ${VARKEL_COMMON_INCLUDES})
endfunction()
