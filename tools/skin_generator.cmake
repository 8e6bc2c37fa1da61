# The skin generator: draws the scroll bars' pictures into assets/skin_bitmaps.cpp.
#   cmake --build <build> --target skin_generator
#   <build>/tools/skin_generator assets/skin_bitmaps.cpp [--bmp <directory>]
add_executable(skin_generator ${CMAKE_CURRENT_LIST_DIR}/skin_generator.cpp)
