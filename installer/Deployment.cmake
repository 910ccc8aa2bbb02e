# Managed deployment, built after dist/Varkel-Setup.exe:
#   dist/Varkel.msi   the per-machine Windows Installer package (installer/msi,
#                     wixl), from the same payload as the installer; signed by
#                     scripts/sign.sh when VARKEL_SIGN_CERT and VARKEL_SIGN_KEY
#                     are set
#   dist/winget/      the Windows Package Manager's manifest of
#                     Varkel-Setup.exe (installer/winget); its download address
#                     from VARKEL_INSTALLER_URL at build time
find_program(VARKEL_WIXL wixl REQUIRED)
find_program(VARKEL_MSIBUILD msibuild REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(VARKEL_MSI ${VARKEL_DIST_DIR}/Varkel.msi)
set(VARKEL_WINGET_DIR ${VARKEL_DIST_DIR}/winget)
# build-installer.sh leaves the payload it packed in <its --work>/payload.
set(installer_payload ${CMAKE_BINARY_DIR}/installer/product/payload)
add_custom_target(msi ALL
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/installer/msi/make-msi.py
          --payload ${installer_payload} --output ${VARKEL_MSI} --version ${PROJECT_VERSION}
          --work ${CMAKE_BINARY_DIR}/installer/msi
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${VARKEL_MSI}
  DEPENDS installer ${CMAKE_SOURCE_DIR}/installer/msi/make-msi.py ${CMAKE_SOURCE_DIR}/installer/msi/varkel.wxs
  COMMENT "Building dist/Varkel.msi"
  VERBATIM)
add_custom_target(winget_manifest ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VARKEL_WINGET_DIR}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/installer/winget/make-winget-manifest.py
          --installer ${VARKEL_DIST_DIR}/Varkel-Setup.exe --package-version ${PROJECT_VERSION}
          --installer-version ${VARKEL_INSTALLER_VERSION} --output-dir ${VARKEL_WINGET_DIR}
  DEPENDS installer ${CMAKE_SOURCE_DIR}/installer/winget/make-winget-manifest.py
  COMMENT "Writing dist/winget/"
  VERBATIM)

# The package's tables read back (msiinfo) and its signature; the manifest
# against winget's published schemas and against the installer it describes.
add_test(NAME installer.msi
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/windows/deployment/msi_check.py
                 ${VARKEL_MSI} ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/installer/msi-check)
add_test(NAME installer.winget
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/windows/deployment/winget_check.py
                 ${VARKEL_WINGET_DIR} ${VARKEL_DIST_DIR}/Varkel-Setup.exe ${VARKEL_INSTALLER_VERSION})
set_tests_properties(installer.msi installer.winget PROPERTIES TIMEOUT 120)
