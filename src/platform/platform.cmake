# platform.cmake - optional operating-system layers of src/platform.

# ---------------------------------------------------------------------------
# Desktop window backend: GTK 3 when pkg-config finds it; without it the
# graphics window is off-screen only.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
endif()
# With ONDREL_DESKTOP_MODULE (the default) the GTK backends are built into a
# module, ondrel-desktop.so beside the program, that desktop_loader.cpp
# loads when a window is first opened: a run that opens none does not load
# the toolkit.  Without it they are linked into the program.
option(ONDREL_DESKTOP_MODULE "Load the GTK windows from a module when the first one opens" ON)
if(GTK3_FOUND AND ONDREL_DESKTOP_MODULE)
  set(ONDREL_DESKTOP_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/window_gtk.cpp
                             ${CMAKE_SOURCE_DIR}/src/platform/editwin_gtk.cpp)
  get_target_property(core_sources ondrel_core SOURCES)
  list(REMOVE_ITEM core_sources ${ONDREL_DESKTOP_SOURCES})
  set_property(TARGET ondrel_core PROPERTY SOURCES ${core_sources})
  # The module carries its own copies of the stateless helpers the editor
  # uses: text conversion and the bracket scan of the edit control.
  add_library(ondrel_desktop MODULE ${ONDREL_DESKTOP_SOURCES} ${CMAKE_SOURCE_DIR}/src/platform/desktop_module.cpp
                                    ${CMAKE_SOURCE_DIR}/src/platform/sjis_utf8.cpp
                                    ${CMAKE_SOURCE_DIR}/src/platform/convert.cpp
                                    ${CMAKE_SOURCE_DIR}/src/platform/editctl.cpp)
  set_target_properties(ondrel_desktop PROPERTIES PREFIX "" OUTPUT_NAME ondrel-desktop
                                                  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_include_directories(ondrel_desktop PRIVATE ${CMAKE_SOURCE_DIR}/src)
  # Its own definitions of the backend lookups are the ones it calls.
  target_link_options(ondrel_desktop PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
  target_link_libraries(ondrel_desktop PRIVATE Threads::Threads)
  target_compile_definitions(ondrel_core PRIVATE ONDREL_DESKTOP_MODULE="$<TARGET_FILE:ondrel_desktop>")
  target_link_libraries(ondrel_core PUBLIC ${CMAKE_DL_LIBS})
  add_dependencies(ondrel_core ondrel_desktop)
  set(ONDREL_DESKTOP_TARGET ondrel_desktop)
  set(desktop_link PRIVATE)
else()
  set(ONDREL_DESKTOP_TARGET ondrel_core)
  set(desktop_link PUBLIC)
endif()
if(GTK3_FOUND)
  target_compile_definitions(${ONDREL_DESKTOP_TARGET} PRIVATE ONDREL_HAVE_GTK)
  target_link_libraries(${ONDREL_DESKTOP_TARGET} ${desktop_link} PkgConfig::GTK3)
  message(STATUS "Graphics window: GTK 3 (${ONDREL_DESKTOP_TARGET}) and off-screen")
  # The editor's text is a GtkSourceView 4 source view when it is found
  # (Debian libgtksourceview-4-dev); without it, a plain GTK text view.
  pkg_check_modules(GTKSOURCEVIEW4 QUIET IMPORTED_TARGET gtksourceview-4)
  if(GTKSOURCEVIEW4_FOUND)
    target_compile_definitions(${ONDREL_DESKTOP_TARGET} PRIVATE ONDREL_HAVE_GTKSOURCEVIEW)
    target_link_libraries(${ONDREL_DESKTOP_TARGET} ${desktop_link} PkgConfig::GTKSOURCEVIEW4)
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
