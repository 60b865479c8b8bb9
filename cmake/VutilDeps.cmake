# Third-party packages the library links: the one place for them. A subsystem or the
# platform layer that needs a package adds it here to its layer target (for its
# headers) and to `vutil` (for the link), and names it in vutilConfig.cmake.in and
# vutil.pc.in (Libs.private / Requires.private).
find_package(Threads REQUIRED)
target_link_libraries(vutil PUBLIC Threads::Threads)
if(WIN32)
  # The Windows backend calls the system's own services; HTTP is WinINet's.
  set(VUTIL_WIN32_LIBS wininet shell32 ole32 oleaut32 uuid advapi32 user32 gdi32 shlwapi
      version bcrypt userenv)
  target_link_libraries(vutil PUBLIC ${VUTIL_WIN32_LIBS})
else()
  # HTTP for the Internet session (platform/posix/http_curl.cpp).
  find_package(CURL REQUIRED)
  target_link_libraries(vutil PRIVATE CURL::libcurl)
  target_link_libraries(vutil_platform PRIVATE CURL::libcurl)
endif()
# zlib: raw deflate/inflate and CRC-32 under the zip container (files/) and the PNG
# icon images (framework/png_codec.cpp).
find_package(ZLIB REQUIRED)
target_link_libraries(vutil PRIVATE ZLIB::ZLIB)
target_link_libraries(vutil_framework PRIVATE ZLIB::ZLIB)
target_link_libraries(vutil_files PRIVATE ZLIB::ZLIB)
