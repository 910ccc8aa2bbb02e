# dist/Varkel-Shell.msix: the Windows 11 shell package (installer/shell-package),
# which puts Quellis64.dll's menu command into Explorer's own context menu,
# and dist/Varkel-Logo.png, the logo its manifest names in the installation
# folder. Unsigned unless VARKEL_SIGN_CERT and VARKEL_SIGN_KEY are set.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VARKEL_SHELL_PACKAGE ${VARKEL_DIST_DIR}/Varkel-Shell.msix)
set(VARKEL_SHELL_LOGO ${VARKEL_DIST_DIR}/Varkel-Logo.png)
set(shell_package_dir ${CMAKE_SOURCE_DIR}/installer/shell-package)
add_custom_target(shell_package ALL
  COMMAND ${Python3_EXECUTABLE} ${shell_package_dir}/make-shell-package.py
          --output ${VARKEL_SHELL_PACKAGE} --version ${PROJECT_VERSION}
          --classes ${CMAKE_SOURCE_DIR}/Quellis/dll_module.cpp --dll Quellis64.dll
          --executable Varkel.exe --logo Varkel-Logo.png
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${shell_package_dir}/Varkel-Logo.png ${VARKEL_SHELL_LOGO}
  DEPENDS ${shell_package_dir}/make-shell-package.py ${shell_package_dir}/AppxManifest.xml.in
  COMMENT "Building dist/Varkel-Shell.msix"
  VERBATIM)
add_dependencies(shell_package dist)

# The package as Windows reads it: its parts, every block hash, the manifest's
# identity and class against Quellis64.dll; signed with a throwaway
# certificate, osslsigncode's verification.
add_test(NAME installer.shell-package
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/windows/installer/shell_package_check.py
                 ${VARKEL_SHELL_PACKAGE} ${VARKEL_DIST_DIR}/Quellis64.dll ${PROJECT_VERSION}
                 ${CMAKE_BINARY_DIR}/installer/shell-package-check)
set_tests_properties(installer.shell-package PROPERTIES TIMEOUT 120)
