folverin_add_test(tst_fecfiledialog SOURCES tst_fecfiledialog.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_selectfolderdialog SOURCES tst_selectfolderdialog.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_summaryedit SOURCES tst_summaryedit.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_chromedialogs SOURCES tst_chromedialogs.cpp LIBS folverin_chrome LABEL chrome)
# The dialogs' page of the chrome demo, linked into folverin-chrome-demo beside the other pages.
add_library(folverin_chrome_dialogs_demo STATIC demo/DialogsDemoPage.cpp)
target_include_directories(folverin_chrome_dialogs_demo PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/demo)
target_link_libraries(folverin_chrome_dialogs_demo PUBLIC folverin_chrome folverin_build_flags)
folverin_add_test(tst_dialogs_screenshots SOURCES tst_dialogs_screenshots.cpp LIBS folverin_chrome_dialogs_demo
                  LABEL chrome screenshots)
