# File and folder dialogs, the dialogs service that shows them, the summary pane.
target_sources(folverin_chrome PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ChromeDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FECFileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectFolderDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SummaryEdit.cpp
)
