# The face generator: draws the main window's tab, button, chrome and browse faces into
# assets/faces (PNG at 1x and 2x).
#   cmake --build <build> --target face_generator
#   QT_QPA_PLATFORM=offscreen <build>/tools/face_generator assets/faces
if(HIVORA_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  add_executable(face_generator ${CMAKE_CURRENT_LIST_DIR}/face_generator.cpp)
  target_link_libraries(face_generator PRIVATE Qt6::Gui)
endif()
