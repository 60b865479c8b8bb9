# Third-party packages the library links. Each subsystem that needs one adds it here.
find_package(Threads REQUIRED)
target_link_libraries(vutil PUBLIC Threads::Threads)
# HTTP for the Internet session (platform/posix/http_curl.cpp).
find_package(CURL REQUIRED)
target_link_libraries(vutil PRIVATE CURL::libcurl)
# Inflate, deflate and CRC-32 for PNG icon images (framework/png_codec.cpp).
find_package(ZLIB REQUIRED)
target_link_libraries(vutil PRIVATE ZLIB::ZLIB)
