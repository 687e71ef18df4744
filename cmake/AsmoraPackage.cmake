# The installed layout and the Debian package (CPack's DEB generator).
#
#   /usr/lib/asmora/asmora              the program (the carried tool kit is inside it)
#   /usr/lib/asmora/asmora-installed    marker: settings and tool kit go per user
#   /usr/bin/asmora -> ../lib/asmora/asmora
#   /usr/share/applications/asmora.desktop, /usr/share/mime/packages/asmora.xml,
#   /usr/share/icons/hicolor/<size>/apps/asmora.png
#
# Installing the files into those folders is enough for the menu and the *.asm
# association: the desktop-file-utils and shared-mime-info packages refresh their
# databases through dpkg triggers on them.

set(desktop_dir "${PROJECT_SOURCE_DIR}/resources/desktop")
install(TARGETS asmora RUNTIME DESTINATION lib/asmora)
install(FILES "${desktop_dir}/asmora-installed" DESTINATION lib/asmora)
file(CREATE_LINK ../lib/asmora/asmora "${CMAKE_BINARY_DIR}/asmora-link" SYMBOLIC)
install(FILES "${CMAKE_BINARY_DIR}/asmora-link" DESTINATION bin RENAME asmora)
install(FILES "${desktop_dir}/asmora.desktop" DESTINATION share/applications)
install(FILES "${desktop_dir}/asmora-mime.xml" DESTINATION share/mime/packages RENAME asmora.xml)

# The icon theme wants PNG pictures; they are taken from the carried asm.ico.
find_program(ASMORA_CONVERT convert REQUIRED)
set(icon_source "${PROJECT_SOURCE_DIR}/resources/carried/asm.ico")
set(icon_outputs "")
foreach(size 16 32 48)
  math(EXPR frame "(48 - ${size}) / 16")
  set(icon "${CMAKE_BINARY_DIR}/icons/${size}/asmora.png")
  add_custom_command(OUTPUT "${icon}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/icons/${size}"
    COMMAND "${ASMORA_CONVERT}" "${icon_source}[${frame}]" "${icon}"
    DEPENDS "${icon_source}" VERBATIM)
  list(APPEND icon_outputs "${icon}")
  install(FILES "${icon}" DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(asmora_icons ALL DEPENDS ${icon_outputs})

# Depends: the sections of scripts/packages.txt marked [depends], so the package
# cannot drift from what ./run installs; shared libraries come from dpkg-shlibdeps.
file(STRINGS "${PROJECT_SOURCE_DIR}/scripts/packages.txt" package_lines)
set(runtime_packages "")
set(in_depends FALSE)
foreach(line IN LISTS package_lines)
  if(line MATCHES "^#")
    if(line MATCHES "^# \\[depends\\]")
      set(in_depends TRUE)
    elseif(NOT line MATCHES "^#  ")
      set(in_depends FALSE)
    endif()
  elseif(in_depends AND NOT line STREQUAL "")
    list(APPEND runtime_packages "${line}")
  endif()
endforeach()
list(JOIN runtime_packages ", " runtime_depends)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME asmora)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Asmora developers <asmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese IDE for 32-bit x86 assembly in the MASM dialect of the course")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A small integrated environment for students of 80x86 assembly: a syntax-coloured\neditor, and one button each to assemble, link, run the program in a console\nwindow and debug it. The interface is Chinese.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${runtime_depends}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
