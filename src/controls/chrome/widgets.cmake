# Text progress bar, labels and hyperlink, icon button.
target_sources(folverin_chrome PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextProgressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextProgressAccessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HyperLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IconButton.cpp
)
