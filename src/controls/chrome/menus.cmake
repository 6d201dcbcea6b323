# The cool bar with its menu bar and the flat popup menus.
target_sources(folverin_chrome PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MenuXPColors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuXPStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuXP.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AltTapWatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoolMenuBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoolMenuBarAccessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoolMenuButtonAccessible.cpp
)
