# Third-party packages the library links. Each subsystem that needs one adds it here.
find_package(Threads REQUIRED)
target_link_libraries(vutil PUBLIC Threads::Threads)
# zlib: raw deflate/inflate and CRC-32 under the zip container.
find_package(ZLIB REQUIRED)
target_link_libraries(vutil PRIVATE ZLIB::ZLIB)
