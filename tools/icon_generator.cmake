# The icon generator: draws the program's icon into assets/icons/hivora-48.png and -256.png.
#   cmake --build <build> --target icon_generator
#   QT_QPA_PLATFORM=offscreen <build>/tools/icon_generator assets/icons
if(HIVORA_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  add_executable(icon_generator ${CMAKE_CURRENT_LIST_DIR}/icon_generator.cpp)
  target_link_libraries(icon_generator PRIVATE Qt6::Gui)
endif()
