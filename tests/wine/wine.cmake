# Programs that hold our platform layer against Windows itself. They are Windows programs: the
# MinGW-w64 build makes them and tests/wine/run_wine_tests.sh runs them under Wine.
if(WIN32)
  hivora_add_test(win32_platform_test LABEL wine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_oracle_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/win32_services_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ansi_codec_agreement_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/win32_settings_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/nls_agreement_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/win32_startup_test.cpp
    LIBS hivora_core)
else()
  # The same conversion table, held against the host's converter.
  hivora_add_test(ansi_codec_agreement_test LABEL wine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ansi_codec_agreement_test.cpp
    LIBS hivora_platform)
endif()

# The shared registry suite (tests/platform/registry_suite.cpp) against the real registry.
if(WIN32)
  hivora_add_test(registry_suite_win32_test LABEL wine
    SOURCES ${PROJECT_SOURCE_DIR}/tests/platform/registry_suite.cpp
            ${PROJECT_SOURCE_DIR}/tests/platform/registry_backends_windows.cpp
            ${CMAKE_CURRENT_LIST_DIR}/registry_differential_test.cpp
    LIBS hivora_platform)
endif()

# Interoperability with Wine's own registry files: interop_peer.exe is the Windows side, which
# wine_interop_test (a native program) runs under Wine. The native test skips unless
# tests/wine/run_wine_tests.sh has given it a prefix and the peer.
if(WIN32)
  add_executable(interop_peer ${CMAKE_CURRENT_LIST_DIR}/interop_peer_main.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/interop_values.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/interop_links.cpp)
  target_link_libraries(interop_peer PRIVATE hivora_platform)
endif()
if(NOT WIN32)
  hivora_add_test(wine_interop_test LABEL wine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_interop_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/interop_values.cpp
            ${CMAKE_CURRENT_LIST_DIR}/interop_links.cpp
    LIBS hivora_platform)
endif()
