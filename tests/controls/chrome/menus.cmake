# The cool bar with its menu bar and the flat menus.
add_library(folverin_chrome_menus_demo STATIC demo/MenusDemoPage.cpp)
target_include_directories(folverin_chrome_menus_demo PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/demo)
target_link_libraries(folverin_chrome_menus_demo PUBLIC folverin_chrome folverin_build_flags)
folverin_add_test(tst_menuxp SOURCES tst_menuxp.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_coolmenubar SOURCES tst_coolmenubar.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_menus_screenshots SOURCES tst_menus_screenshots.cpp LIBS folverin_chrome_menus_demo
                  LABEL chrome screenshots)
