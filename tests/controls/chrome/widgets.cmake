# Text progress bar, labels and hyperlink, icon button, the job pane's icons.
folverin_add_test(tst_textprogressctrl SOURCES tst_textprogressctrl.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_textlabel SOURCES tst_textlabel.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_hyperlink SOURCES tst_hyperlink.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_iconbutton SOURCES tst_iconbutton.cpp LIBS folverin_chrome LABEL chrome)
folverin_add_test(tst_chromewidgets_screenshots SOURCES tst_chromewidgets_screenshots.cpp
  LIBS folverin_chrome LABEL chrome screenshots)
folverin_add_test(tst_jobpaneicons SOURCES tst_jobpaneicons.cpp LIBS folverin_chrome LABEL chrome)
add_subdirectory(demo)
