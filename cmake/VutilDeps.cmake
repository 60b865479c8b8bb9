# Third-party packages the library links. Each subsystem that needs one adds it here.
find_package(Threads REQUIRED)
target_link_libraries(vutil PUBLIC Threads::Threads)
