# dist/Varkel-Setup.exe: the four deliverables and the Java program packed by
# NSIS (installer/varkel.nsi), built after dist/. The Java program comes from
# the folder named by VARKEL_JAVA_PROGRAM at build time; without it, the demo
# program (the hosting tests' Java class, compiled here, and a commented
# startup.conf). With VARKEL_SIGN_CERT and VARKEL_SIGN_KEY set, the
# deliverables, the uninstaller and the installer are signed (scripts/sign.sh).
find_program(VARKEL_MAKENSIS makensis REQUIRED)
find_program(VARKEL_JAVAC javac REQUIRED)

set(VARKEL_INSTALLER_VERSION ${PROJECT_VERSION}.0)
set(demo_program ${CMAKE_BINARY_DIR}/installer/demo-program)
set(demo_source ${CMAKE_SOURCE_DIR}/tests/jvm/java/com/orvane/varkel/Varkel.java)
add_custom_command(OUTPUT ${demo_program}/classes/com/orvane/varkel/Varkel.class ${demo_program}/startup.conf
  COMMAND ${VARKEL_JAVAC} --release 8 -d ${demo_program}/classes ${demo_source}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/installer/demo/startup.conf ${demo_program}/startup.conf
  DEPENDS ${demo_source} ${CMAKE_SOURCE_DIR}/installer/demo/startup.conf
  COMMENT "Compiling the demo Java program for the installer")
add_custom_target(installer_demo_program DEPENDS ${demo_program}/classes/com/orvane/varkel/Varkel.class)

set(deliverables Varkel.exe Varkel-64.exe Quellis64.dll QuellisSetup.exe)
set(file_arguments)
foreach(file ${deliverables})
  list(APPEND file_arguments --file ${VARKEL_DIST_DIR}/${file})
endforeach()
# The Windows 11 shell package's folder "shell": the package, the logo its
# manifest names and the copy of Quellis64.dll that its COM surrogate loads;
# the step that adds and removes it beside the deliverables
# (shell_package, installer/ShellPackage.cmake).
list(APPEND file_arguments --file ${VARKEL_SHELL_SCRIPT} --shell-file ${VARKEL_SHELL_PACKAGE}
     --shell-file ${VARKEL_SHELL_LOGO} --shell-file ${VARKEL_DIST_DIR}/Quellis64.dll)
list(TRANSFORM deliverables PREPEND ${VARKEL_DIST_DIR}/ OUTPUT_VARIABLE deliverable_paths)
add_custom_target(installer ALL
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${deliverable_paths}
  COMMAND ${CMAKE_SOURCE_DIR}/installer/build-installer.sh
          --output ${VARKEL_DIST_DIR}/Varkel-Setup.exe --version ${VARKEL_INSTALLER_VERSION}
          --work ${CMAKE_BINARY_DIR}/installer/product --java-program-default ${demo_program}
          ${file_arguments}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${VARKEL_DIST_DIR}/Varkel-Setup.exe
  DEPENDS dist shell_package installer_demo_program
  COMMENT "Building dist/Varkel-Setup.exe"
  VERBATIM)

# Signing with a throwaway certificate, verified by osslsigncode.
add_test(NAME installer.signing
         COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/installer/signing_check.sh ${VARKEL_DIST_DIR} ${demo_program}
                 ${CMAKE_BINARY_DIR}/installer/signing ${VARKEL_INSTALLER_VERSION})
set_tests_properties(installer.signing PROPERTIES TIMEOUT 300)
