# platform.cmake - optional operating-system layers of src/platform.

# ---------------------------------------------------------------------------
# Desktop window backend: GTK 3 when pkg-config finds it; without it the
# graphics window is off-screen only.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
endif()
if(GTK3_FOUND)
  target_compile_definitions(ondrel_core PRIVATE ONDREL_HAVE_GTK)
  target_link_libraries(ondrel_core PUBLIC PkgConfig::GTK3)
  message(STATUS "Graphics window: GTK 3 and off-screen")
  # The editor's text is a GtkSourceView 4 source view when it is found
  # (Debian libgtksourceview-4-dev); without it, a plain GTK text view.
  pkg_check_modules(GTKSOURCEVIEW4 QUIET IMPORTED_TARGET gtksourceview-4)
  if(GTKSOURCEVIEW4_FOUND)
    target_compile_definitions(ondrel_core PRIVATE ONDREL_HAVE_GTKSOURCEVIEW)
    target_link_libraries(ondrel_core PUBLIC PkgConfig::GTKSOURCEVIEW4)
    message(STATUS "Editor: GtkSourceView 4")
  else()
    message(STATUS "Editor: plain GTK text view (gtksourceview-4 not found)")
  endif()
else()
  message(STATUS "Graphics window: off-screen only (gtk+-3.0 not found)")
endif()

# ---------------------------------------------------------------------------
# Console line editor: libedit's readline interface when it is found (Debian
# libedit-dev); without it the console reads plain lines.  The conversion
# between Shift-JIS and UTF-8 terminals uses the C library's iconv.
option(ONDREL_LINE_EDITOR "Edit console lines with libedit when it is found" ON)
if(ONDREL_LINE_EDITOR)
  find_path(LIBEDIT_INCLUDE_DIR editline/readline.h)
  find_library(LIBEDIT_LIBRARY edit)
endif()
if(ONDREL_LINE_EDITOR AND LIBEDIT_INCLUDE_DIR AND LIBEDIT_LIBRARY)
  target_compile_definitions(ondrel_core PRIVATE ONDREL_HAVE_LIBEDIT)
  target_include_directories(ondrel_core PRIVATE ${LIBEDIT_INCLUDE_DIR})
  target_link_libraries(ondrel_core PUBLIC ${LIBEDIT_LIBRARY})
  message(STATUS "Console: line editing and history with libedit")
else()
  message(STATUS "Console: plain lines (libedit not found or turned off)")
endif()
# ---------------------------------------------------------------------------
