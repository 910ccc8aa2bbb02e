# dist/Varkel-Shell.msix: the Windows 11 shell package (installer/shell-package),
# which puts Quellis64.dll's menu command into Explorer's own context menu;
# dist/Varkel-Logo.png, the logo its manifest names in the installation's
# "shell" folder; dist/shell-package.ps1, the installers' step that adds and
# removes it. Unsigned unless VARKEL_SIGN_CERT and VARKEL_SIGN_KEY are set.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VARKEL_SHELL_PACKAGE ${VARKEL_DIST_DIR}/Varkel-Shell.msix)
set(VARKEL_SHELL_LOGO ${VARKEL_DIST_DIR}/Varkel-Logo.png)
set(VARKEL_SHELL_SCRIPT ${VARKEL_DIST_DIR}/shell-package.ps1)
set(shell_package_dir ${CMAKE_SOURCE_DIR}/installer/shell-package)
add_custom_target(shell_package ALL
  COMMAND ${Python3_EXECUTABLE} ${shell_package_dir}/make-shell-package.py
          --output ${VARKEL_SHELL_PACKAGE} --version ${PROJECT_VERSION}
          --classes ${CMAKE_SOURCE_DIR}/Quellis/dll_module.cpp --dll Quellis64.dll
          --executable Varkel.exe --logo Varkel-Logo.png --script ${VARKEL_SHELL_SCRIPT}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${shell_package_dir}/Varkel-Logo.png ${VARKEL_SHELL_LOGO}
  DEPENDS ${shell_package_dir}/make-shell-package.py ${shell_package_dir}/AppxManifest.xml.in
          ${shell_package_dir}/shell-package.ps1.in
  COMMENT "Building dist/Varkel-Shell.msix"
  VERBATIM)
add_dependencies(shell_package dist)

# The package as Windows reads it: its parts, every block hash, the manifest's
# identity and class against Quellis64.dll, the manifest, block map and
# content types against Microsoft's schemas (tests/third_party/msix-schemas),
# the family name in the installers' script; signed with a throwaway
# certificate, osslsigncode's verification.
# Debian's python3-xmlschema belongs to the system's own Python.
find_program(VARKEL_SCHEMA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT VARKEL_SCHEMA_PYTHON)
  set(VARKEL_SCHEMA_PYTHON ${Python3_EXECUTABLE})
endif()
add_test(NAME installer.shell-package
         COMMAND ${VARKEL_SCHEMA_PYTHON} ${CMAKE_SOURCE_DIR}/tests/windows/installer/shell_package_check.py
                 ${VARKEL_SHELL_PACKAGE} ${VARKEL_SHELL_SCRIPT} ${VARKEL_DIST_DIR}/Quellis64.dll ${PROJECT_VERSION}
                 ${CMAKE_BINARY_DIR}/installer/shell-package-check)
set_tests_properties(installer.shell-package PROPERTIES TIMEOUT 120)
