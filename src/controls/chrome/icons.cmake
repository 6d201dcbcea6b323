# The job pane's button icons: SVG files in res/icons, compiled into the library as the
# resources :/icons/<role>.svg. Qt's SVG icon engine (Debian: qt6-svg-dev) draws them.
find_package(Qt6 REQUIRED COMPONENTS Svg)
target_sources(folverin_chrome PRIVATE ${CMAKE_CURRENT_LIST_DIR}/JobPaneIcons.cpp)
set(folverin_icon_dir ${PROJECT_SOURCE_DIR}/res/icons)
qt_add_resources(folverin_chrome folverin_jobpane_icons
  PREFIX /icons
  BASE ${folverin_icon_dir}
  FILES
    ${folverin_icon_dir}/open-file.svg
    ${folverin_icon_dir}/import-directory.svg
    ${folverin_icon_dir}/remove-selected.svg
    ${folverin_icon_dir}/clear-all-selected.svg
    ${folverin_icon_dir}/start-convert.svg
    ${folverin_icon_dir}/stop-convert.svg
    ${folverin_icon_dir}/result-converted.svg
    ${folverin_icon_dir}/result-skipped.svg
    ${folverin_icon_dir}/result-stopped.svg
)
