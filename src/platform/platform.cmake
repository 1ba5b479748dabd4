# platform.cmake - the optional desktop window backend: GTK 3 when
# pkg-config finds it; without it the graphics window is off-screen only.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
endif()
if(GTK3_FOUND)
  target_compile_definitions(ondrel_core PRIVATE ONDREL_HAVE_GTK)
  target_link_libraries(ondrel_core PUBLIC PkgConfig::GTK3)
  message(STATUS "Graphics window: GTK 3 and off-screen")
else()
  message(STATUS "Graphics window: off-screen only (gtk+-3.0 not found)")
endif()
