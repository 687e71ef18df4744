# Finds QScintilla built for Qt 6 (Debian: libqscintilla2-qt6-dev) and provides
# the imported target QScintilla::QScintilla.
find_path(QScintillaQt6_INCLUDE_DIR Qsci/qsciscintillabase.h
  HINTS ${Qt6Core_INCLUDE_DIRS} /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6)
find_library(QScintillaQt6_LIBRARY NAMES qscintilla2_qt6)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QScintillaQt6 DEFAULT_MSG QScintillaQt6_LIBRARY QScintillaQt6_INCLUDE_DIR)
if(QScintillaQt6_FOUND AND NOT TARGET QScintilla::QScintilla)
  add_library(QScintilla::QScintilla SHARED IMPORTED)
  set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QScintillaQt6_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QScintillaQt6_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets")
endif()
mark_as_advanced(QScintillaQt6_INCLUDE_DIR QScintillaQt6_LIBRARY)
